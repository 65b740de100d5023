#include "QtAccessibility.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace Backend {

namespace {

Announcer* announcerOf(const QWidget* form)
{
    // Found by its type, which Qt's meta-object system does not know.
    for (QObject* child : form->children()) {
        if (auto* announcer = dynamic_cast<Announcer*>(child))
            return announcer;
    }
    return nullptr;
}

// A form is a window to assistive technology, not a plain pane, and its
// announcer is its last child.
class AccessibleForm : public QAccessibleWidget {
public:
    explicit AccessibleForm(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

    int childCount() const override { return QAccessibleWidget::childCount() + (announcer() ? 1 : 0); }

    QAccessibleInterface* child(int index) const override
    {
        if (Announcer* voice = announcer(); voice && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(voice);
        return QAccessibleWidget::child(index);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child && child->object() && child->object() == announcer())
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    Announcer* announcer() const { return announcerOf(widget()); }
};

class AccessibleAnnouncer : public QAccessibleObject {
public:
    explicit AccessibleAnnouncer(Announcer* announcer) : QAccessibleObject(announcer) {}

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(object()->parent()); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? static_cast<const Announcer*>(object())->text() : QString();
    }
};

// An edit as Qt 6.4 describes it, but for its text attributes: Qt reports
// each attribute run of a line edit as empty, [offset, offset). Orca splits a
// field's text into runs by their language before it reads it, and so read
// "15" as "1" and "7" as nothing when the field was entered. Here the whole
// text is one run without attributes; the rest is QLineEdit's public interface.
class AccessibleEdit : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
public:
    explicit AccessibleEdit(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = edit()->isReadOnly();
        state.editable = !edit()->isReadOnly();
        state.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return edit()->echoMode() == QLineEdit::Normal ? edit()->text() : QString();
        return QAccessibleWidget::text(kind);
    }

    void setText(QAccessible::Text kind, const QString& text) override
    {
        if (kind != QAccessible::Value) {
            QAccessibleWidget::setText(kind, text);
            return;
        }
        edit()->selectAll();
        edit()->insert(text);
    }

    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    QString text(int startOffset, int endOffset) const override
    {
        return edit()->displayText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(edit()->text().size()); }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }

    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *startOffset = edit()->selectionStart();
            *endOffset = edit()->selectionEnd();
        }
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index == 0)
            edit()->setSelection(startOffset, endOffset - startOffset);
    }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }

    // On the screen: measured from the cursor, which Qt places with the text's scrolling.
    QRect characterRect(int offset) const override
    {
        const QString shown = edit()->displayText();
        const QFontMetrics metrics = edit()->fontMetrics();
        const QRect cursor = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int left = cursor.x() + metrics.horizontalAdvance(shown.left(offset))
                         - metrics.horizontalAdvance(shown.left(edit()->cursorPosition()));
        const int width = offset < shown.size() ? metrics.horizontalAdvance(shown.mid(offset, 1)) : 0;
        return QRect(edit()->mapToGlobal(QPoint(left, cursor.y())), QSize(width, cursor.height()));
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }

    // What assistive technology writes is the player's edit, as typing is:
    // through QLineEdit's own editing, which reports it (textEdited) and can
    // be undone, where setText would pass for the program's own write.
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        const int length = int(edit()->text().size());
        startOffset = std::clamp(startOffset, 0, length);
        endOffset = std::clamp(endOffset, startOffset, length);
        if (startOffset == endOffset && text.isEmpty())
            return;
        edit()->setSelection(startOffset, endOffset - startOffset);
        if (startOffset == endOffset)
            edit()->setCursorPosition(startOffset);
        edit()->insert(text);
    }

private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
};

QAccessibleInterface* describe(const QString& className, QObject* object)
{
    if (auto* edit = qobject_cast<QLineEdit*>(object); edit && className == QLatin1String("QLineEdit"))
        return new AccessibleEdit(edit);
    if (auto* announcer = dynamic_cast<Announcer*>(object))
        return new AccessibleAnnouncer(announcer);
    if (auto* widget = qobject_cast<QWidget*>(object); widget && announcerOf(widget))
        return new AccessibleForm(widget);
    return nullptr;
}

void report(QObject* object, QAccessible::Event event)
{
    QAccessibleEvent report(object, event);
    QAccessible::updateAccessibility(&report);
}

}  // namespace

void describeForms()
{
    QAccessible::installFactory(describe);
}

// Made before its form is first described, so that the form knows it has a voice.
Announcer::Announcer(QWidget& form) : QObject(&form) {}

void Announcer::say(const QString& text)
{
    if (text.isEmpty())
        return;
    m_text = text;
    // Qt 6.4 has no announcement of its own; a notification that appears is
    // what Orca speaks, and it appears anew for each text, also the same one.
    report(this, QAccessible::ObjectHide);
    report(this, QAccessible::NameChanged);
    report(this, QAccessible::ObjectShow);
}

void reportFocus(QWidget& widget)
{
    report(&widget, QAccessible::Focus);
}

}  // namespace Backend
