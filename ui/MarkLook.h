// How a mark looks wherever the program draws one, decided once for every
// backend (the page's stylesheet takes its colours too): the looks there are;
// their colours, a light ground for dark text or a dark ground for light text
// where the system's fields are dark, with a frame that stands out from both
// (at least 3:1 to its ground, the text at least 7:1); the frame's thickness
// and dashes; and what a mark keeps in the system's high-contrast colours.
// Colour is never all of a mark: the text is bold, and a frame is solid or
// dashed. What a mark means is its form's affair; a backend only measures its
// system's colours and draws.
#pragma once

#include <cstdint>
#include <span>

enum class MarkLook {
    None,
    Solid,   // a solid frame, on a warm ground
    Dashed,  // a dashed frame, on a cool ground
};

// The looks a mark can have, none left out.
constexpr MarkLook markLooks[] = {MarkLook::Solid, MarkLook::Dashed};

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

// The contrast of two colours (0xRRGGBB) as WCAG measures it, by their
// relative luminance: from 1 (alike) to 21 (black and white).
double contrastRatio(std::uint32_t one, std::uint32_t other);

// A ground is dark where white text stands out from it more than black text does.
bool isDarkGround(std::uint32_t ground);

// A text colour on the ground the system draws it on.
struct TextOnGround {
    std::uint32_t text;  // 0xRRGGBB
    std::uint32_t ground;
};

// What every text of a high-contrast scheme keeps to its ground: WCAG's enhanced contrast.
constexpr double highContrastRatio = 7.0;

// Whether the system's colours are a high-contrast scheme, for a platform
// without a switch of its own: each text, the selected one included, stands
// out from its ground by highContrastRatio at least. An ordinary scheme keeps
// dark text on light fields too, but colours its selection and lets it fall short.
bool isHighContrast(std::span<const TextOnGround> system);

// The system's colours of a field (0xRRGGBB), and whether they are a high-contrast scheme.
struct FieldColours {
    std::uint32_t text;
    std::uint32_t ground;
    bool highContrast;
};

// The mark's colours on such a field: the look's own, for a light or a dark
// field. In high contrast the system's colours stay: the field's ground and
// text, and the frame in the text's colour, which the scheme sets apart from
// the ground; the bold text and the frame's dashes still tell a mark.
MarkColours markColours(MarkLook look, const FieldColours& field);

// The frame's thickness, in the form's pixels. A backend that draws the frame
// over the field's own border takes that border's thickness instead.
constexpr int markFrameWidth = 2;

// A dashed frame's dashes and the gaps between them, for a frame of that
// thickness: twice the thickness, and one and a half times it (4 and 3 pixels
// at 2), so that dashes and corners stay apart from the solid look.
struct MarkDashes {
    int dash;
    int gap;
};

constexpr MarkDashes markDashes(int thickness)
{
    return {2 * thickness, thickness + (thickness + 1) / 2};
}
