#include "QtStart.h"

#include "Backend.h"
#include "DisplayOpening.h"
#include "QtAccessibility.h"
#include "Resources.h"
#include "StartFailure.h"

#include <QtGui/qguiapplication_platform.h>
#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace Backend {
namespace {

// Lives as long as the process: windows may still be destroyed after main returns.
QApplication* application = nullptr;

// Standard input, output and error that the program was started without are
// opened on /dev/null: otherwise the display connection could take one of
// their numbers, and the trace or a message would be written into it. A
// standard output whose reader has gone must not end the program either: the
// trace's write then fails quietly instead of raising SIGPIPE.
void prepareStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1)  // where even /dev/null cannot be opened, Qt takes fd as before
            (void)::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);  // the lowest free number: fd
    }
    (void)std::signal(SIGPIPE, SIG_IGN);  // cannot fail for this signal
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

// The title that a failed start's line begins with.
std::string title;

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

}  // namespace

void endStart(const StartDiagnosis& diagnosis)
{
    const std::string line = title + ": " + describe(diagnosis) + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    std::_Exit(1);
}

xcb_connection_t* xcbConnection()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
}

void start(std::string_view applicationTitle)
{
    if (application)
        return;
    title = applicationTitle;
    prepareStandardStreams();
    // Qt keeps argc and argv for the application's lifetime.
    static QByteArray platform = chosenPlatform();
    static std::string name = title;
    static char platformOption[] = "-platform";
    static char* argv[] = {name.data(), nullptr, nullptr, nullptr};
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
            opening.fail(
                {StartFailure::NoScreen, QGuiApplication::platformName().toStdString(), displayName(requested)});
    }
    ConnectionWatch::start(requested);
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral(LOTTO_DESKTOP_ID));
    QApplication::setApplicationName(QString::fromStdString(title));
    if (const Resources::XpmImage image = Resources::findImage("MAINICON"))
        QApplication::setWindowIcon(QIcon(QPixmap(image)));
    describeForms();  // before the first form exists, which assistive technology then asks about
}

bool started()
{
    return application != nullptr;
}

std::string executableName()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.stem().string();
}

}  // namespace Backend
