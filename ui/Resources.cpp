#include "Resources.h"

#include <string>
#include <utility>
#include <vector>

namespace Resources {

namespace {

// Function-local, so that registrations from other files' static data find it constructed.
std::vector<std::pair<std::string, XpmImage>>& images()
{
    static std::vector<std::pair<std::string, XpmImage>> registered;
    return registered;
}

}  // namespace

void registerImage(std::string_view name, XpmImage image)
{
    for (auto& [registeredName, registeredImage] : images()) {
        if (registeredName == name) {
            registeredImage = image;
            return;
        }
    }
    images().emplace_back(std::string(name), image);
}

XpmImage findImage(std::string_view name)
{
    for (const auto& [registeredName, image] : images()) {
        if (registeredName == name)
            return image;
    }
    return nullptr;
}

}  // namespace Resources
