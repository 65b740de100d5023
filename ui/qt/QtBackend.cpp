// The toolkit layer's backend over Qt 6 Widgets. The only file that sees Qt.
#include "Backend.h"
#include "Resources.h"
#include "Sysutils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <limits>
#include <string>
#include <vector>

namespace Backend {

struct Control {
    QWidget* widget = nullptr;          // owned by the window
    QLineEdit* edit = nullptr;          // for edits
    QAbstractButton* button = nullptr;  // for buttons
    QLabel* label = nullptr;            // for labels
};

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
        const Bounds& outer = m_definition.bounds;
        setGeometry(QRect(outer.left, outer.top, outer.width, outer.height).marginsRemoved(margins));
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

// Whether a local X server listens on the display's socket. A bare connect is
// enough and costs far less than an X handshake, which the server would have
// to tear down again just as the real connection arrives.
std::optional<bool> localServerListens(const char* display)
{
    std::string_view name = display;
    if (name.starts_with("unix:"))
        name.remove_prefix(4);
    if (!name.starts_with(':'))
        return std::nullopt;  // a remote or forwarded display: let libxcb decide
    name.remove_prefix(1);
    const std::string number(name.substr(0, name.find('.')));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return false;

    const std::string path = "/tmp/.X11-unix/X" + number;
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return std::nullopt;
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
        const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
        ::close(fd);
        if (connected)
            return true;
    }
    return false;
}

// Qt aborts the process when it cannot reach an X server; find out first.
bool displayReachable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return true;  // offscreen, wayland, ...: Qt reports on its own
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return false;
    if (const std::optional<bool> listens = localServerListens(display))
        return *listens;
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool reachable = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return reachable;
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
    if (!displayReachable())
        throw Sysutils::Exception("Keine grafische Anzeige verfügbar: Das Programm braucht einen Bildschirm (DISPLAY).");
    static int argc = 1;
    static char name[] = "lotto";
    static char* argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    if (const Resources::XpmImage image = Resources::findImage("MAINICON"))
        QApplication::setWindowIcon(QIcon(QPixmap(image)));
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
    window->setGeometry(toRect(definition.bounds));

    QFont font(toQString(definition.font.family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(definition.font.pixelHeight);
    window->setFont(font);

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
    QMessageBox box(QMessageBox::Critical, toQString(title), toQString(message), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // a pasted text is shown, never interpreted
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace Backend
