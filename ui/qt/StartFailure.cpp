#include "StartFailure.h"

#include "StandardErrorCatcher.h"
#include "Sysutils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace Backend {
namespace {

bool isX(const std::string& platform)
{
    return platform == "xcb";
}

bool isWayland(const std::string& platform)
{
    return platform.starts_with("wayland");
}

// Wayland clients find a relative display name in this folder; libwayland
// refuses one that is not an absolute path to a folder.
bool validRuntimeFolder(const std::string& folder)
{
    struct stat status {};
    return folder.starts_with('/') && ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Whether a plugin for the platform is installed where Qt looks for it, and
// loads with everything it links against.
bool platformPluginLoads(const std::string& platform)
{
    QStringList folders;
    if (const QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !own.isEmpty())
        folders << own;
    for (const QString& path : QCoreApplication::libraryPaths())
        folders << path + QStringLiteral("/platforms");
    const QString name = QString::fromStdString(platform);
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
            QPluginLoader loader(file.absoluteFilePath());
            const QJsonArray keys =
                loader.metaData().value(QStringLiteral("MetaData")).toObject().value(QStringLiteral("Keys")).toArray();
            for (const auto& key : keys) {
                if (key.toString().compare(name, Qt::CaseInsensitive) == 0 && loader.load())
                    return true;
            }
        }
    }
    return false;
}

// Asks the X server itself, over a connection of our own.
StartFailure probeX(const std::string& display)
{
    StandardErrorCatcher caught;  // libxcb writes the server's refusal there
    int screen = 0;               // asked for, so that a screen the server lacks is told apart
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (error == 0)
        return StartFailure::ConnectionLost;
    if (error == XCB_CONN_CLOSED_INVALID_SCREEN)
        return StartFailure::NoScreen;
    // A server that answers and turns the client down gives its reason, which
    // libxcb writes out; one that never answered leaves nothing.
    const std::string reason = caught.text(1024);
    if (reason.empty())
        return StartFailure::NotReachable;
    return reason.find("Maximum number of clients") != std::string::npos ? StartFailure::ServerFull
                                                                         : StartFailure::AccessRefused;
}

// Looks for the compositor's socket the way libwayland does, and knocks.
StartFailure probeWayland(const std::string& name)
{
    std::string path = name;
    if (!name.starts_with('/')) {
        const std::string folder = environmentValue("XDG_RUNTIME_DIR");
        if (!validRuntimeFolder(folder))
            return StartFailure::RuntimeFolder;
        path = folder + "/" + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return StartFailure::NotReachable;
    path.copy(address.sun_path, path.size());
    const int knock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (knock < 0)
        return StartFailure::NotReachable;
    const int answered = ::connect(knock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int error = errno;
    ::close(knock);
    if (answered == 0)
        return StartFailure::ConnectionLost;
    return error == EACCES ? StartFailure::AccessRefused : StartFailure::NotReachable;
}

}  // namespace

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string requestedPlatform(const std::string& chosen)
{
    if (!chosen.empty())
        return chosen;
    // Qt takes the first of a list ("wayland;xcb"), without its options ("xcb:nograb").
    std::string requested = environmentValue("QT_QPA_PLATFORM");
    requested = requested.substr(0, requested.find(';'));
    return requested.substr(0, requested.find(':'));
}

std::string displayName(const std::string& platform)
{
    if (isX(platform))
        return environmentValue("DISPLAY");
    if (isWayland(platform)) {
        const std::string name = environmentValue("WAYLAND_DISPLAY");
        return name.empty() ? "wayland-0" : name;  // libwayland's own default
    }
    return {};
}

StartDiagnosis diagnoseFailedStart(const std::string& platform)
{
    StartDiagnosis diagnosis{StartFailure::NothingSet, platform, displayName(platform)};
    if (platform.empty() || (isX(platform) && diagnosis.display.empty()))
        return diagnosis;
    if (isWayland(platform) && !diagnosis.display.starts_with('/')
        && !validRuntimeFolder(environmentValue("XDG_RUNTIME_DIR"))) {
        diagnosis.failure = StartFailure::RuntimeFolder;
    } else if (!platformPluginLoads(platform)) {
        diagnosis.failure = StartFailure::PlatformMissing;
    } else if (isX(platform)) {
        diagnosis.failure = probeX(diagnosis.display);
    } else if (isWayland(platform)) {
        diagnosis.failure = probeWayland(diagnosis.display);
    } else {
        diagnosis.failure = StartFailure::PlatformFailed;
    }
    return diagnosis;
}

std::string describe(const StartDiagnosis& diagnosis)
{
    const bool x = isX(diagnosis.platform);
    const std::string_view display = diagnosis.display;
    const std::string_view platform = diagnosis.platform;
    std::string_view sentence;
    std::string_view name = display;
    std::string_view secondName;
    switch (diagnosis.failure) {
    case StartFailure::NothingSet:
        sentence = x ? "DISPLAY ist nicht gesetzt." : "Weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.";
        break;
    case StartFailure::NotReachable:
        sentence = "Die Anzeige {} ist nicht erreichbar.";
        break;
    case StartFailure::AccessRefused:
        sentence = x ? "Die Anzeige {} verweigert den Zugriff (keine Berechtigung, siehe XAUTHORITY)."
                     : "Die Anzeige {} verweigert den Zugriff (keine Berechtigung).";
        break;
    case StartFailure::ServerFull:
        sentence =
            "Die Anzeige {} nimmt keine weiteren Programme an: Der X-Server hat so viele Verbindungen, "
            "wie er zulässt.";
        break;
    case StartFailure::RuntimeFolder:
        if (const char* folder = std::getenv("XDG_RUNTIME_DIR"); folder && *folder) {
            name = folder;
            secondName = display;
            sentence =
                "Der Laufzeitordner XDG_RUNTIME_DIR {} ist kein absoluter Pfad zu einem Ordner, darum ist "
                "die Wayland-Anzeige {} nicht zu finden.";
        } else {
            sentence =
                "Der Laufzeitordner XDG_RUNTIME_DIR ist nicht gesetzt, darum ist die Wayland-Anzeige {} "
                "nicht zu finden.";
        }
        break;
    case StartFailure::PlatformMissing:
        name = platform;
        sentence = isWayland(diagnosis.platform)
                       ? "Qts Unterstützung für Wayland fehlt oder lässt sich nicht laden (Debian-Paket qt6-wayland)."
                   : x ? "Qts Unterstützung für X11 fehlt oder lässt sich nicht laden (die Plattform {} aus dem "
                         "Debian-Paket libqt6gui6 mit ihren xcb-Bibliotheken)."
                       : "Die Plattform {} fehlt oder lässt sich nicht laden.";
        break;
    case StartFailure::NoScreen:
        if (!x)
            name = platform;
        sentence = x ? "Die Anzeige {} hat keinen solchen Bildschirm."
                     : "Die Plattform {} hat keinen Bildschirm, auf dem sich das Fenster zeigen ließe.";
        break;
    case StartFailure::ConnectionLost:
        sentence = "Die Verbindung zur Anzeige {} ist abgebrochen.";
        break;
    case StartFailure::PlatformFailed:
        name = platform;
        sentence = "Die Plattform {} lässt sich nicht starten.";
        break;
    }
    // Each "{}" takes the next name, quoted for a terminal line.
    std::string line = "Keine grafische Anzeige verfügbar: ";
    for (std::string_view next : {name, secondName}) {
        const std::size_t at = sentence.find("{}");
        if (at == std::string_view::npos)
            break;
        line.append(sentence.substr(0, at)).append(Sysutils::QuoteForLine(next));
        sentence.remove_prefix(at + 2);
    }
    return line.append(sentence);
}

}  // namespace Backend
