// Where a window goes on a screen: at its designed place wherever it fits
// there whole, else moved just far enough to lie inside the screen's work
// area; where the work area is smaller than the window, its top-left corner
// stays inside, so the caption and the first controls can still be reached.
// Knows no screen of its own: each backend asks its system for the work area.
#pragma once

#include "FormDefinition.h"

#include <algorithm>

constexpr Bounds placeInWorkArea(const Bounds& window, const Bounds& workArea)
{
    constexpr auto fit = [](int position, int length, int start, int room) {
        return std::max(std::min(position, start + room - length), start);
    };
    return {fit(window.left, window.width, workArea.left, workArea.width),
            fit(window.top, window.height, workArea.top, workArea.height), window.width, window.height};
}
