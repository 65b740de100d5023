// How an edit shows a mark on Windows: its text in the window's face made
// bold, its ground tinted, and its sunken edge drawn over as a frame, solid or
// dashed, with the colours and dashes of MarkLook.h for the system's field
// colours and its high-contrast switch. The edit keeps its place, size and
// text. Which edit is marked is decided above the backend; the window's
// message handler asks here for the ground.
#pragma once

#include "Win32Window.h"

namespace Backend {

// Makes the edit able to show a mark; called once, when it is created.
void prepareMark(Control& edit);

// The window's face for the control: bold for a marked edit.
HFONT fontFor(const Window& window, const Control& control);

// The answer to WM_CTLCOLOREDIT for a marked edit (the brush of its ground,
// with the text's colours set on dc), or nullptr to leave it to the system.
HBRUSH markGround(const Control& edit, HDC dc);

}  // namespace Backend
