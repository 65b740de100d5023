// The Qt backend's start: the application object on the platform the program
// runs on, or, where none can show a window, the end of the program with one
// German line that names the cause. The window calls are in QtBackend.cpp.
#pragma once

#include "StartFailure.h"

#include <xcb/xcb.h>

namespace Backend {

// Ends a start that cannot show the window: one German line on standard error
// that begins with the application's title and names the cause, and exit code
// 1. Qt is half made by then: nothing of it may run any more.
[[noreturn]] void endStart(const StartDiagnosis& diagnosis);

// Qt's connection to the X server where it runs on X; nullptr on any other
// platform (which may offer X's interface for its own ends, without a
// connection to show on).
xcb_connection_t* xcbConnection();

}  // namespace Backend
