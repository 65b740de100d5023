// The toolkit layer's backend over Qt 6 Widgets. The only file that sees Qt.
#include "Backend.h"
#include "FormFont.h"
#include "Resources.h"
#include "StartFailure.h"
#include "Sysutils.h"
#include "WindowPlacement.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Backend {

struct Control {
    QWidget* widget = nullptr;          // owned by the window
    QLineEdit* edit = nullptr;          // for edits
    QAbstractButton* button = nullptr;  // for buttons
    QLabel* label = nullptr;            // for labels
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
    explicit Window(const FormDefinition& definition) : m_definition(definition) {}

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
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            if (!m_frameFitted && isVisible())
                fitFrame();
            break;
        default:
            break;
        }
        return handled;
    }

    void fitFrame()
    {
        const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        if (margins.isNull() || QGuiApplication::platformName() == QLatin1String("offscreen"))
            return;
        m_frameFitted = true;
        setGeometry(placedFrame(m_definition.bounds).marginsRemoved(margins));
    }

    const FormDefinition& m_definition;
    std::vector<std::unique_ptr<Control>> m_controls;
    QEventLoop* m_loop = nullptr;
    QWidget* m_firstFocus = nullptr;
    bool m_frameFitted = false;
};

namespace {

// Lives as long as the process: windows may still be destroyed after main returns.
QApplication* application = nullptr;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Standard input, output and error that the program was started without are
// opened on /dev/null: otherwise the display connection could take one of
// their numbers, and the trace or a message would be written into it. A
// standard output whose reader has gone must not end the program either: the
// trace's write then fails quietly instead of raising SIGPIPE.
void prepareStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1)
            ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);  // takes the lowest free number: fd
    }
    std::signal(SIGPIPE, SIG_IGN);
}

// The platform Qt is to start on. Where an X display is set the program stays
// on X, also in a Wayland session (XWayland), because only X lets a window
// take its designed place; a Wayland-only session gets Qt's Wayland platform.
// A platform chosen by the user through QT_QPA_PLATFORM is left alone; an
// empty one chooses nothing, as for Qt itself.
QByteArray chosenPlatform()
{
    if (!environmentValue("QT_QPA_PLATFORM").empty())
        return {};
    if (!environmentValue("DISPLAY").empty())
        return "xcb";
    if (!environmentValue("WAYLAND_DISPLAY").empty())
        return "wayland";
    return {};
}

// A start that cannot show the window ends here: one German line naming the
// cause, and exit code 1. Qt is half made by then: nothing of it may run any more.
[[noreturn]] void endStart(const StartDiagnosis& diagnosis)
{
    const std::string line = applicationTitle() + ": " + describe(diagnosis) + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    std::_Exit(1);
}

// Opening the display. Qt reports a display it cannot use with a fatal message
// (in English, telling the user to reinstall) and aborts; the libraries below
// it write their own lines straight to standard error. While the display is
// being opened, standard error goes into a memory file and fatal messages come
// here: a failed start is examined and ends with exit code 1 and one German
// line naming the cause, a successful one passes on whatever was said.
class DisplayOpening {
public:
    explicit DisplayOpening(QByteArray platform) : m_platform(std::move(platform))
    {
        m_realError = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        m_said = ::memfd_create("lotto-start", MFD_CLOEXEC);
        if (m_realError < 0 || m_said < 0 || ::dup2(m_said, STDERR_FILENO) < 0) {
            restoreError();
            closeAll();
        }
        active = this;
        m_previousHandler = qInstallMessageHandler(onMessage);
    }

    ~DisplayOpening()
    {
        qInstallMessageHandler(m_previousHandler);
        active = nullptr;
        restoreError();
        passOnWhatWasSaid();
        closeAll();
    }

    DisplayOpening(const DisplayOpening&) = delete;
    DisplayOpening& operator=(const DisplayOpening&) = delete;

    // A platform that started but cannot show the window still fails the start.
    [[noreturn]] void fail(const StartDiagnosis& diagnosis)
    {
        active = nullptr;
        restoreError();
        endStart(diagnosis);
    }

private:
    static void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (!active)
            return;
        if (type == QtFatalMsg)
            active->fail();
        const std::lock_guard lock(active->m_messagesLock);  // Qt's threads may speak too
        active->m_messages.push_back(qFormatLogMessage(type, context, message).toStdString() + '\n');
    }

    [[noreturn]] void fail()
    {
        active = nullptr;  // what the diagnosis makes Qt say is not its business
        restoreError();
        endStart(diagnoseFailedStart(requestedPlatform(m_platform.toStdString())));
    }

    void restoreError()
    {
        if (m_realError >= 0) {
            ::dup2(m_realError, STDERR_FILENO);
            ::close(std::exchange(m_realError, -1));
        }
    }

    void passOnWhatWasSaid()
    {
        if (m_said < 0)
            return;
        char buffer[4096];
        ::lseek(m_said, 0, SEEK_SET);
        for (ssize_t got; (got = ::read(m_said, buffer, sizeof buffer)) > 0;) {
            if (::write(STDERR_FILENO, buffer, static_cast<std::size_t>(got)) != got)
                break;
        }
        for (const std::string& message : m_messages)
            std::fputs(message.c_str(), stderr);
    }

    void closeAll()
    {
        if (m_said >= 0)
            ::close(std::exchange(m_said, -1));
    }

    static inline DisplayOpening* active = nullptr;

    QByteArray m_platform;
    int m_realError = -1;
    int m_said = -1;  // a memory file: what was written to standard error
    std::vector<std::string> m_messages;  // what Qt said
    std::mutex m_messagesLock;
    QtMessageHandler m_previousHandler = nullptr;
};

// Qt's connection to the X server where it runs on X; other platforms may
// offer X's interface for their own ends, without a connection to show on.
xcb_connection_t* xcbConnection()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
}

// Once Qt runs on X: a connection to the server that breaks (the server ends,
// or drops the program) makes Qt, and Xlib after it, say so in English and end
// the program. Qt's first word on it comes here, so the program ends itself
// first, with exit code 1 and one German line; every other message goes on to
// where it went before.
class ConnectionWatch {
public:
    static void start(std::string platform)
    {
        s_connection = xcbConnection();
        if (!s_connection)
            return;
        s_platform = std::move(platform);
        s_previous = qInstallMessageHandler(onMessage);
    }

private:
    static void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (xcb_connection_has_error(s_connection))
            endStart({StartFailure::ConnectionLost, s_platform, displayName(s_platform)});
        s_previous(type, context, message);
    }

    static inline xcb_connection_t* s_connection = nullptr;
    static inline std::string s_platform;
    static inline QtMessageHandler s_previous = nullptr;
};

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
    const std::string wmClass = applicationTitle() + '\0' + LOTTO_DESKTOP_ID + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()),
                        XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(wmClass.size()),
                        wmClass.data());
}

// A form is a window to assistive technology, not a plain pane.
QAccessibleInterface* accessibleForm(const QString&, QObject* object)
{
    if (auto* window = dynamic_cast<Window*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

QRect toRect(const Bounds& bounds)
{
    return QRect(bounds.left, bounds.top, bounds.width, bounds.height);
}

}  // namespace

void start()
{
    if (application)
        return;
    prepareStandardStreams();
    // Qt keeps argc and argv for the application's lifetime.
    static QByteArray platform = chosenPlatform();
    static char name[] = "lotto";
    static char platformOption[] = "-platform";
    static char* argv[] = {name, nullptr, nullptr, nullptr};
    static int argc = 1;
    if (!platform.isEmpty()) {
        argv[argc++] = platformOption;
        argv[argc++] = platform.data();
    }
    const std::string requested = requestedPlatform(platform.toStdString());
    {
        DisplayOpening opening(platform);
        application = new QApplication(argc, argv);
        if (!QGuiApplication::primaryScreen())  // a framebuffer platform without its device, say
            opening.fail({StartFailure::NoScreen, QGuiApplication::platformName().toStdString(), displayName(requested)});
    }
    ConnectionWatch::start(requested);
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral(LOTTO_DESKTOP_ID));
    QApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    if (const Resources::XpmImage image = Resources::findImage("MAINICON"))
        QApplication::setWindowIcon(QIcon(QPixmap(image)));
    QAccessible::installFactory(accessibleForm);
}

bool started()
{
    return application != nullptr;
}

std::string applicationTitle()
{
    if (application)
        return QCoreApplication::applicationName().toStdString();
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("lotto") : executable.stem().string();
}

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

Control& createControl(Window& window, const ControlDefinition& definition, std::function<void()> onClick)
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
        control->edit = new QLineEdit(&window);
        control->edit->setMaxLength(std::numeric_limits<int>::max());
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
        QObject::connect(control->button, &QAbstractButton::clicked, control->button, [onClick] { onClick(); });

    QWidget* widget = control->widget;
    widget->setObjectName(toQString(definition.name));
    widget->setAccessibleName(definition.spokenName.empty() ? caption : toQString(definition.spokenName));
    widget->setGeometry(toRect(definition.bounds));
    if (definition.autoSize == AutoSize::Yes)
        widget->adjustSize();

    window.m_controls.push_back(std::move(control));
    return *window.m_controls.back();
}

void relateLabel(Control& label, Control& target)
{
    // Qt reports a label's buddy as the control it labels, and the label as
    // the buddy's label, to assistive technology.
    if (label.label)
        label.label->setBuddy(target.widget);
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
    // window manager nobody else would give the window its focus back.
    if (window) {
        window->activateWindow();
        if (focus)
            focus->setFocus(Qt::ActiveWindowFocusReason);
    }
}

}  // namespace Backend
