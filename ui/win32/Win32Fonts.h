// The window's font on Windows: the designed face where it is installed, else
// the system's dialog face; made at a pixel height, and measured the way a
// label that sizes itself needs. Which height a dpi asks for is left to the
// dpi's own file.
#pragma once

#include "FormDefinition.h"

#include <windows.h>

#include <string>

namespace Backend {

// Whether the system has a face of that family.
bool fontInstalled(const std::wstring& family);

// The designed face's family, or the system's dialog face under its alias.
std::wstring fontFamily(const FontDefinition& definition);

enum class Weight { Normal, Bold };

// The face at a character height in pixels.
HFONT createFont(const std::wstring& family, int pixelHeight, Weight weight = Weight::Normal);

// A label that sizes itself takes the extent of its text in the font.
void fitToText(HWND label, HFONT font);

}  // namespace Backend
