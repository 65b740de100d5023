// Each control's name from the form's table ("Button1", "Tipp3"), kept where
// any program on the desktop can read it, so that tests and automation find a
// control by name rather than by its place: a window property, "ControlName",
// that holds a global atom of the name. A tool reads it with
//     GlobalGetAtomNameW(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(control, L"ControlName"))), ...)
// Nothing that assistive technology reads changes: what a screen reader says
// is the spoken name (Win32SpokenNames.h).
#pragma once

#include <windows.h>

#include <string_view>

namespace Backend {

// An empty name (a label the form does not refer to) leaves the control without one.
void keepControlName(HWND control, std::string_view name);

// Takes the name back; before the control goes, as every window property must.
void forgetControlName(HWND control);

}  // namespace Backend
