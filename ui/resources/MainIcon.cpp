// The program's icon, compiled in and registered as MAINICON.
#include "Resources.h"

#include "MAINICON.xpm"

namespace {
const Resources::ImageRegistration mainIconRegistration("MAINICON", mainIcon);
}
