// The program's own resources by name (its icon, MAINICON), for the toolkit to
// find at start-up. The program registers them from static data compiled into
// it; nothing is read from files.
#pragma once

#include <string_view>

namespace Resources {

// An image in XPM form: the lines of an XPM file as a C array.
using XpmImage = const char* const*;

// Registers an image under a name; a second registration of the name replaces the first.
void registerImage(std::string_view name, XpmImage image);

// The image of that name, or nullptr.
XpmImage findImage(std::string_view name);

// Registers an image while the program's static data is initialised.
struct ImageRegistration {
    ImageRegistration(std::string_view name, XpmImage image) { registerImage(name, image); }
};

}  // namespace Resources
