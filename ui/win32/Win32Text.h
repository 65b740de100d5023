// Text on its way across the Win32 API: the layer above speaks UTF-8, Windows
// UTF-16. Converts between the two and reads a window's whole text; how text
// is drawn and measured is left to the fonts and the controls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace Backend {

std::wstring toWide(std::string_view text);
std::string toUtf8(std::wstring_view text);

// A window's text, whatever its length.
std::wstring windowText(HWND handle);

}  // namespace Backend
