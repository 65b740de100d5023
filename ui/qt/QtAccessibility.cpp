#include "QtAccessibility.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QWidget>

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

QAccessibleInterface* describe(const QString&, QObject* object)
{
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
