// The colours of a hit's mark on the desktop, shared by the backends that draw
// it themselves (the page's style sheet names the same): a light ground for
// dark text, or a dark ground for light text where the system's fields are
// dark, and a frame that stands out from both. The frame keeps a contrast of
// at least 3:1 to its ground and the text one of at least 7:1. Colour is never
// all of a mark: the text is bold, and the bonus number's frame is dashed.
#pragma once

#include "Hits.h"

#include <cstdint>

struct MarkColours {
    std::uint32_t ground;  // 0xRRGGBB
    std::uint32_t frame;
    std::uint32_t text;
};

// groundIsDark: the system's fields are dark (light text on a dark ground).
constexpr MarkColours markColours(lotto::HitMark mark, bool groundIsDark)
{
    if (mark == lotto::HitMark::Bonus)
        return groundIsDark ? MarkColours{0x1c3d6b, 0x8ab4f8, 0xffffff} : MarkColours{0xcfe3ff, 0x1a56b0, 0x000000};
    return groundIsDark ? MarkColours{0x5c4700, 0xffd54f, 0xffffff} : MarkColours{0xffe08a, 0x8a5a00, 0x000000};
}
