// The close-kind button's face, themed and classic; see Win32CloseButton.h.
#include "Win32CloseButton.h"

#include "Win32Dpi.h"
#include "Win32Fonts.h"
#include "Win32Text.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <string>

namespace Backend {

namespace {

constexpr int closeGlyphSize = 16;  // at 96 dpi, as the gap below
constexpr int closeGlyphGap = 4;

// The close glyph without a frame of its own, for a themed face: the mark of
// the system's symbol font, as the classic caption buttons draw it.
bool drawThemedCloseGlyph(HDC dc, const RECT& glyph, COLORREF colour)
{
    static const bool symbolsInstalled = fontInstalled(L"Marlett");
    if (!symbolsInstalled)
        return false;
    HFONT symbols = CreateFontW(-(glyph.bottom - glyph.top), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Marlett");
    if (!symbols)
        return false;
    const HGDIOBJ previous = SelectObject(dc, symbols);
    SetTextColor(dc, colour);
    RECT box = glyph;
    DrawTextW(dc, L"r", 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(symbols);
    return true;
}

}  // namespace

void drawCloseButton(const DRAWITEMSTRUCT& item, HFONT font, UINT dpi)
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    const bool hot = SendMessageW(item.hwndItem, BM_GETSTATE, 0, 0) & BST_HOT;
    const int glyphSize = scaled(closeGlyphSize, dpi);
    const int glyphGap = scaled(closeGlyphGap, dpi);

    HTHEME theme = OpenThemeData(item.hwndItem, L"BUTTON");
    RECT content = face;
    COLORREF textColour = GetSysColor(COLOR_BTNTEXT);
    if (theme) {
        const int state = pushed ? PBS_PRESSED : hot ? PBS_HOT : focused ? PBS_DEFAULTED : PBS_NORMAL;
        if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, state))
            DrawThemeParentBackground(item.hwndItem, dc, &face);
        DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &face, nullptr);
        GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, state, &face, &content);
        GetThemeColor(theme, BP_PUSHBUTTON, state, TMT_TEXTCOLOR, &textColour);
    } else {
        if (focused) {
            FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&face, -1, -1);
        }
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
        content = face;
        InflateRect(&content, -3, -3);
    }

    const std::wstring text = windowText(item.hwndItem);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int shift = pushed && !theme ? 1 : 0;  // a classic face shows its content pressed in
    const int contentWidth = glyphSize + glyphGap + extent.cx;
    const int left = (face.left + face.right - contentWidth) / 2 + shift;
    const int middle = (face.top + face.bottom) / 2 + shift;

    RECT glyph{left, middle - glyphSize / 2, left + glyphSize, middle - glyphSize / 2 + glyphSize};
    if (!theme || !drawThemedCloseGlyph(dc, glyph, textColour))
        DrawFrameControl(dc, &glyph, DFC_CAPTION, DFCS_CAPTIONCLOSE);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour);
    TextOutW(dc, glyph.right + glyphGap, middle - extent.cy / 2, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, previous);

    if (focused && !(item.itemState & ODS_NOFOCUSRECT))
        DrawFocusRect(dc, &content);
    if (theme)
        CloseThemeData(theme);
}

}  // namespace Backend
