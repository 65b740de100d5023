// The form is designed at 96 dpi. The program's manifest declares it aware of
// each monitor's dpi, so Windows does not stretch it as a blurry bitmap: every
// bound and the font are scaled here, at creation and whenever the window
// moves to a screen of another dpi. Receiving the system's notice is left to
// the window's message handler.
#pragma once

#include "Win32Fonts.h"
#include "Win32Window.h"

namespace Backend {

// A designed length in pixels at the given dpi.
int scaled(int length, UINT dpi);

// The dpi of the window's monitor where the system tells it, else the system's.
UINT dpiOf(HWND handle);

// The window's face at the window's dpi.
HFONT fontAtDpi(const Window& window, Weight weight = Weight::Normal);

// A control at its designed bounds scaled to the window's dpi; a label that
// sizes itself then fits its text in the window's font.
void place(const Window& window, const Control& control);

// The window moved to a screen of another dpi (or that screen's scale was
// changed): the system suggests the new outer frame, and every control and
// the font follow.
void changeDpi(Window& window, UINT dpi, const RECT& outer);

}  // namespace Backend
