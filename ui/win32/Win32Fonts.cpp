// Looking up, making and measuring the window's face through GDI; see Win32Fonts.h.
#include "Win32Fonts.h"

#include "Win32Text.h"

namespace Backend {

namespace {

int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

SIZE textExtent(HWND handle, HFONT font, const std::wstring& text)
{
    SIZE extent{};
    HDC dc = GetDC(handle);
    const HGDIOBJ previous = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    extent.cy = metrics.tmHeight;  // a line's height also where the text is empty
    SelectObject(dc, previous);
    ReleaseDC(handle, dc);
    return extent;
}

}  // namespace

bool fontInstalled(const std::wstring& family)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring fontFamily(const FontDefinition& definition)
{
    std::wstring family = toWide(definition.family);
    if (family.empty() || !fontInstalled(family))
        family = L"MS Shell Dlg";
    return family;
}

HFONT createFont(const std::wstring& family, int pixelHeight, Weight weight)
{
    // A negative height asks for the character height, as the designed 8 pt at 96 dpi.
    return CreateFontW(-pixelHeight, 0, 0, 0, weight == Weight::Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, family.c_str());
}

void fitToText(HWND label, HFONT font)
{
    const SIZE extent = textExtent(label, font, windowText(label));
    SetWindowPos(label, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace Backend
