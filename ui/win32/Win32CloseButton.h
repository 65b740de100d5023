// How the close-kind button looks: a push button face with the close glyph
// before its text. Where the application is themed, the face is the theme's
// push button in the same state as its neighbours'; elsewhere it is drawn the
// way the classic push button draws itself. What a click on it does is left
// to the window's message handler.
#pragma once

#include <windows.h>

namespace Backend {

// Draws the owner-drawn button of `item` in the window's font at the window's dpi.
void drawCloseButton(const DRAWITEMSTRUCT& item, HFONT font, UINT dpi);

}  // namespace Backend
