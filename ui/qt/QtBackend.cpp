// The toolkit layer's backend over Qt 6 Widgets: the window, its controls and
// the message box. The start is in QtStart.cpp, the choice of face in
// QtFaces.cpp; Qt appears nowhere outside this folder.
#include "Backend.h"
#include "QtAccessibility.h"
#include "QtFaces.h"
#include "QtMarkedEdit.h"
#include "QtStart.h"
#include "SpokenName.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace Backend {

struct Control {
    QWidget* widget = nullptr;          // owned by the window
    MarkedEdit* edit = nullptr;         // for edits
    QAbstractButton* button = nullptr;  // for buttons
    QLabel* label = nullptr;            // for labels
    std::string heading;                // of the control's column or group, said after its name
    std::string description;            // the window's, said before the heading
    const MarkDefinition* mark = nullptr;
};

namespace {

// The designed outer frame, moved where needed to lie on the screen it opens
// on, in the screen's work area.
QRect placedFrame(const Bounds& designed)
{
    QScreen* screen = QGuiApplication::screenAt(QPoint(designed.left, designed.top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const Bounds placed = placeInWorkArea(designed, {area.x(), area.y(), area.width(), area.height()});
    return QRect(placed.left, placed.top, placed.width, placed.height);
}

}  // namespace

struct Window : QWidget {
    explicit Window(const FormDefinition& definition) : m_definition(definition), m_announcer(new Announcer(*this)) {}

    void closeEvent(QCloseEvent* event) override
    {
        QWidget::closeEvent(event);
        if (event->isAccepted() && m_loop)
            m_loop->quit();
    }

    // A window manager adds its frame some time after the window is shown; the
    // frame is fitted to the designed outer size once, when it is first known.
    bool event(QEvent* event) override
    {
        const bool handled = QWidget::event(event);
        switch (event->type()) {
        case QEvent::WindowActivate:
            reportFocusLater();
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::UpdateRequest:
            if (!m_frameFitted && isVisible())
                fitFrame();
            break;
        default:
            break;
        }
        return handled;
    }

    // Says where the focus is once Qt has done what it has queued, so after
    // its own report of an activation too. Qt says the focus once, as the
    // window becomes active; a screen reader that hears of an activation only
    // after that says no more than the window's name. A message's close may
    // activate the window twice, by Qt as the message goes and by the display
    // server after it: each activation says the focus once more.
    void reportFocusLater()
    {
        QMetaObject::invokeMethod(
            this,
            [form = QPointer<Window>(this)] {
                if (form && form->isActiveWindow() && form->focusWidget())
                    reportFocus(*form->focusWidget());
            },
            Qt::QueuedConnection);
    }

    void fitFrame()
    {
        const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        if (margins.isNull())
            return;
        m_frameFitted = true;
        setGeometry(placedFrame(m_definition.bounds).marginsRemoved(margins));
    }

    const FormDefinition& m_definition;
    Announcer* m_announcer;  // owned as a child
    std::vector<std::unique_ptr<Control>> m_controls;
    QEventLoop* m_loop = nullptr;
    QWidget* m_firstFocus = nullptr;
    bool m_frameFitted = false;
};

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The identity that desktops match the window to its menu entry with: the
// Wayland app id, and on X the class of WM_CLASS (the instance stays the
// program's name). Qt would take the class from the application's name, which
// is the program's title in messages; so the class is set on the window here,
// before it is mapped, where a window manager reads it.
void identifyWindow(QWidget& window)
{
    xcb_connection_t* connection = xcbConnection();
    if (!connection)
        return;
    const std::string wmClass = QCoreApplication::applicationName().toStdString() + '\0' + LOTTO_DESKTOP_ID + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), XCB_ATOM_WM_CLASS,
                        XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(wmClass.size()), wmClass.data());
}

QRect toRect(const Bounds& bounds)
{
    return QRect(bounds.left, bounds.top, bounds.width, bounds.height);
}

// Qt 6.4 relates no description: what is said after the name is the
// control's accessible description, which screen readers say after it.
void describe(Control& control)
{
    const std::string said =
        spokenDescription(control.mark ? control.mark->said : "", control.description, control.heading);
    control.widget->setAccessibleDescription(toQString(said));
}

}  // namespace

void WindowDeleter::operator()(Window* window) const noexcept
{
    delete window;
}

WindowPtr createWindow(const FormDefinition& definition)
{
    WindowPtr window(new Window(definition));
    window->setObjectName(toQString(definition.name));
    window->setWindowTitle(toQString(definition.caption));
    window->setGeometry(placedFrame(definition.bounds));
    identifyWindow(*window);

    window->setFont(formFont(definition, window->screen() ? window->screen()->devicePixelRatio() : 1));

    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window->setPalette(palette);
    return window;
}

Control& createControl(Window& window,
                       const ControlDefinition& definition,
                       std::function<void()> onClick,
                       std::function<void()> onEdited)
{
    auto control = std::make_unique<Control>();
    const QString caption = toQString(definition.caption);
    switch (definition.kind) {
    case ControlKind::Label:
        control->label = new QLabel(caption, &window);
        control->label->setTextFormat(Qt::PlainText);
        control->label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // a label taller than its text keeps it at the top
        control->widget = control->label;
        break;
    case ControlKind::Edit:
        control->edit = new MarkedEdit(&window);
        control->edit->setMaxLength(std::numeric_limits<int>::max());
        if (onEdited)
            QObject::connect(control->edit, &QLineEdit::textEdited, control->edit,
                             [onEdited = std::move(onEdited)] { onEdited(); });
        control->widget = control->edit;
        break;
    case ControlKind::Button:
    case ControlKind::CloseButton: {
        auto* button = new QPushButton(caption, &window);
        // Return on a focused button presses it, but no button is the window's default.
        button->setAutoDefault(true);
        button->setDefault(false);
        if (definition.kind == ControlKind::CloseButton)
            button->setIcon(window.style()->standardIcon(QStyle::SP_DialogCloseButton));
        control->button = button;
        control->widget = button;
        break;
    }
    }
    if (control->button && onClick)
        QObject::connect(control->button, &QAbstractButton::clicked, control->button,
                         [onClick = std::move(onClick)] { onClick(); });

    QWidget* widget = control->widget;
    widget->setObjectName(toQString(definition.name));
    widget->setGeometry(toRect(definition.bounds));
    if (definition.autoSize == AutoSize::Yes)
        widget->adjustSize();

    window.m_controls.push_back(std::move(control));
    return *window.m_controls.back();
}

void setSpokenName(Control& control, std::string_view name)
{
    control.widget->setAccessibleName(toQString(name));
}

void setDescription(Control& control, std::string_view text)
{
    control.description = text;
    describe(control);
}

void relateLabel(Control& label, Control& target, LabelRole role)
{
    if (!label.label)
        return;
    switch (role) {
    case LabelRole::OwnName:
        // Qt reports a label's buddy as labelled by it, and Orca then says the
        // label instead of the buddy's name (before it, for a button).
        label.label->setBuddy(target.widget);
        break;
    case LabelRole::Heading:
        target.heading = label.label->text().toStdString();
        describe(target);
        break;
    }
}

void setTabOrder(Window& window, std::span<Control* const> order)
{
    for (std::size_t k = 1; k < order.size(); ++k)
        QWidget::setTabOrder(order[k - 1]->widget, order[k]->widget);
    window.m_firstFocus = order.empty() ? nullptr : order.front()->widget;
}

void showWindow(Window& window)
{
    window.show();
    window.fitFrame();
    // With no window manager (bare X server) the window is never activated on its own.
    window.activateWindow();
    window.raise();
    if (window.m_firstFocus)
        window.m_firstFocus->setFocus(Qt::ActiveWindowFocusReason);
}

void closeWindow(Window& window)
{
    window.close();
}

bool isVisible(const Window& window)
{
    return window.isVisible();
}

void runUntilClosed(Window& window)
{
    if (!window.isVisible())
        return;
    QEventLoop loop;
    window.m_loop = &loop;
    loop.exec();
    window.m_loop = nullptr;
}

std::string getText(const Control& control)
{
    if (control.edit)
        return control.edit->text().toStdString();
    if (control.button)
        return control.button->text().toStdString();
    return control.label->text().toStdString();
}

void setText(Control& control, std::string_view text)
{
    if (control.edit)
        control.edit->setText(toQString(text));
    else if (control.button)
        control.button->setText(toQString(text));
    else
        control.label->setText(toQString(text));
}

void setMark(Control& edit, const MarkDefinition* mark)
{
    if (!edit.edit)
        return;
    edit.mark = mark;
    edit.edit->setMark(mark ? mark->look : MarkLook::None);
    describe(edit);
}

void announce(Window& window, std::string_view text)
{
    window.m_announcer->say(toQString(text));
}

void showMessage(std::string_view title, std::string_view message)
{
    const QPointer<QWidget> window = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    QMessageBox box(QMessageBox::Critical, toQString(title), toQString(message), QMessageBox::Ok, window);
    box.setTextFormat(Qt::PlainText);  // a pasted text is shown, never interpreted
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    // The keyboard and a screen reader go back to where they were; without a
    // window manager nobody else would give the window its focus back. A form
    // that is active again already says its focus once more here, one that is
    // not yet when it is.
    if (window) {
        window->activateWindow();
        if (focus)
            focus->setFocus(Qt::ActiveWindowFocusReason);
        if (auto* form = dynamic_cast<Window*>(window.data()); form && form->isActiveWindow())
            form->reportFocusLater();
    }
}

}  // namespace Backend
