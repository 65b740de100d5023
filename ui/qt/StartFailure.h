// Why Qt could not open the display, found out once it has failed: from the
// environment, from whether Qt's platform plugin loads, and from the display
// server's own answer to a connection of our own. Gives the one German line a
// failed start ends with. Runs only on the way out: a good start never pays
// for it. Knows nothing of windows.
#pragma once

#include <string>

namespace Backend {

enum class StartFailure {
    NothingSet,       // no display named at all
    NotReachable,     // no server answers under the name
    AccessRefused,    // the server answered and refused this client
    ServerFull,       // the X server takes no more clients
    RuntimeFolder,    // Wayland's XDG_RUNTIME_DIR is missing or no absolute folder
    PlatformMissing,  // Qt's platform plugin is not installed or does not load
    NoScreen,         // the platform started but has no screen to show the window on
    ConnectionLost,   // the server accepts connections, but Qt's own broke
    PlatformFailed,   // a platform without a display server did not start
};

struct StartDiagnosis {
    StartFailure failure;
    std::string platform;  // Qt's name of the platform: "xcb", "wayland", "linuxfb", ...
    std::string display;   // the display's name as the environment gives it; may be empty
};

// The value of an environment variable; "" where it is not set.
std::string environmentValue(const char* name);

// The platform Qt is to start on: the one the program chose, else the first of
// QT_QPA_PLATFORM, else "" where neither names one.
std::string requestedPlatform(const std::string& chosen);

// Examines a start of the platform that has just failed. Only for the way out:
// it loads plugins and opens connections of its own.
StartDiagnosis diagnoseFailedStart(const std::string& platform);

// The display's name the way the platform finds it.
std::string displayName(const std::string& platform);

// "Keine grafische Anzeige verfügbar: …" with the cause, the names quoted for
// a terminal line; no line end.
std::string describe(const StartDiagnosis& diagnosis);

}  // namespace Backend
