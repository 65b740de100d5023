// How a mark looks wherever the program draws one: the looks there are, and
// their colours, shared by every backend (the page's stylesheet takes them
// too): a light ground for dark text, or a dark ground for light text where
// the system's fields are dark, and a frame that stands out from both. The
// frame keeps a contrast of at least 3:1 to its ground and the text one of at
// least 7:1. Colour is never all of a mark: the text is bold, and a frame is
// solid or dashed. What a mark means is its form's affair.
#pragma once

#include <cstdint>

enum class MarkLook {
    None,
    Solid,   // a solid frame, on a warm ground
    Dashed,  // a dashed frame, on a cool ground
};

struct MarkColours {
    std::uint32_t ground;  // 0xRRGGBB
    std::uint32_t frame;
    std::uint32_t text;
};

// groundIsDark: the system's fields are dark (light text on a dark ground).
constexpr MarkColours markColours(MarkLook look, bool groundIsDark)
{
    if (look == MarkLook::Dashed)
        return groundIsDark ? MarkColours{0x1c3d6b, 0x8ab4f8, 0xffffff} : MarkColours{0xcfe3ff, 0x1a56b0, 0x000000};
    return groundIsDark ? MarkColours{0x5c4700, 0xffd54f, 0xffffff} : MarkColours{0xffe08a, 0x8a5a00, 0x000000};
}
