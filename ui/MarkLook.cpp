#include "MarkLook.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t white = 0xffffff;
constexpr std::uint32_t black = 0x000000;

double linear(std::uint32_t channel)
{
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double relativeLuminance(std::uint32_t rgb)
{
    return 0.2126 * linear((rgb >> 16) & 0xff) + 0.7152 * linear((rgb >> 8) & 0xff) + 0.0722 * linear(rgb & 0xff);
}

}  // namespace

double contrastRatio(std::uint32_t one, std::uint32_t other)
{
    const double a = relativeLuminance(one);
    const double b = relativeLuminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool isDarkGround(std::uint32_t ground)
{
    return contrastRatio(ground, white) > contrastRatio(ground, black);
}

bool isHighContrast(std::span<const TextOnGround> system)
{
    return !system.empty() && std::all_of(system.begin(), system.end(), [](const TextOnGround& pair) {
        return contrastRatio(pair.text, pair.ground) >= highContrastRatio;
    });
}

MarkColours markColours(MarkLook look, const FieldColours& field)
{
    if (field.highContrast)
        return {field.ground, field.text, field.text};
    return markColours(look, isDarkGround(field.ground));
}
