// What the Win32 backend keeps of a window and its controls, shared by the
// files of this folder: the handles, the fonts at the window's dpi, the names
// given to assistive technology, the edits' marks, and the state of the
// message loop. The
// Backend functions that make and drive them are in Win32Backend.cpp.
#pragma once

#include "Backend.h"
#include "Win32SpokenNames.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Backend {

struct Control {
    HWND handle = nullptr;
    ControlKind kind = ControlKind::Label;
    AutoSize autoSize = AutoSize::No;
    Bounds bounds{};  // as designed, at 96 dpi
    std::function<void()> onClick;
    std::function<void()> onEdited;        // edits only: the player changed the text
    bool settingText = false;              // the program's own write, no player's edit
    const MarkDefinition* mark = nullptr;  // edits only
    std::string heading;                   // of the control's column or group, said after its name
    std::string description;               // the window's, said before the heading
};

struct Window {
    ~Window();

    HWND handle = nullptr;
    HFONT font = nullptr;
    HFONT boldFont = nullptr;  // the same face, for a marked edit
    std::wstring fontFamily;
    int fontPixelHeight = 0;  // at 96 dpi
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    SpokenNames spokenNames;
    std::vector<std::unique_ptr<Control>> controls;
    HWND firstFocus = nullptr;
    HWND savedFocus = nullptr;   // the focused control while another window is active
    bool closed = true;          // until shown, and again once closed
    std::exception_ptr failure;  // what escaped a message handler, for the loop to raise
};

// The window behind a top-level handle of the form's class, or nullptr.
inline Window* windowOf(HWND handle)
{
    return reinterpret_cast<Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

}  // namespace Backend
