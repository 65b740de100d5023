// The Qt backend's start: the application object on the platform the program
// runs on, or, where none can show a window, the end of the program with one
// German line that names the cause. The window calls are in QtBackend.cpp.
#pragma once

#include <xcb/xcb.h>

namespace Backend {

// Qt's connection to the X server where it runs on X; nullptr on any other
// platform (which may offer X's interface for its own ends, without a
// connection to show on).
xcb_connection_t* xcbConnection();

}  // namespace Backend
