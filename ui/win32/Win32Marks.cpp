// An edit's mark on Windows; see Win32Marks.h.
#include "Win32Marks.h"

#include "MarkLook.h"

#include <commctrl.h>

#include <algorithm>

namespace Backend {

namespace {

constexpr UINT_PTR markSubclass = 1;

bool highContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)
           && (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF toColorRef(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

std::uint32_t systemColour(int index)
{
    const COLORREF colour = GetSysColor(index);
    return std::uint32_t{GetRValue(colour)} << 16 | std::uint32_t{GetGValue(colour)} << 8 | GetBValue(colour);
}

MarkColours coloursOf(MarkLook mark)
{
    return markColours(mark, FieldColours{systemColour(COLOR_WINDOWTEXT), systemColour(COLOR_WINDOW), highContrast()});
}

void fill(HDC dc, const RECT& area, std::uint32_t colour)
{
    SetDCBrushColor(dc, toColorRef(colour));
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Over the edit's border, which lies outside its client area: the frame
// whole, or on the mark's ground in dashes as long as the border is thick.
void drawFrame(HWND edit, MarkLook mark)
{
    RECT outer{};
    RECT inner{};
    GetWindowRect(edit, &outer);
    GetClientRect(edit, &inner);
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&inner), 2);
    OffsetRect(&inner, -outer.left, -outer.top);
    OffsetRect(&outer, -outer.left, -outer.top);
    const LONG thickness = std::max<LONG>(1, inner.left);
    HDC dc = GetWindowDC(edit);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    const MarkColours colours = coloursOf(mark);
    if (mark == MarkLook::Solid) {
        fill(dc, outer, colours.frame);
    } else {
        fill(dc, outer, colours.ground);
        const MarkDashes dashes = markDashes(static_cast<int>(thickness));
        const LONG dash = dashes.dash;
        const LONG gap = dashes.gap;
        // Columns cut into the top and bottom edges, rows into the sides between them.
        for (LONG x = 0; x < outer.right; x += dash + gap)
            fill(dc, RECT{x, 0, std::min(x + dash, outer.right), outer.bottom}, colours.frame);
        for (LONG y = inner.top + gap; y < inner.bottom; y += dash + gap)
            fill(dc, RECT{0, y, outer.right, std::min(y + dash, inner.bottom)}, colours.frame);
    }
    ReleaseDC(edit, dc);
}

LRESULT CALLBACK markedEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, markedEdit, markSubclass);
    const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
    if (message == WM_NCPAINT) {
        const auto& control = *reinterpret_cast<const Control*>(data);
        if (control.mark)
            drawFrame(edit, control.mark->look);
    }
    return result;
}

}  // namespace

void prepareMark(Control& edit)
{
    SetWindowSubclass(edit.handle, markedEdit, markSubclass, reinterpret_cast<DWORD_PTR>(&edit));
}

HFONT fontFor(const Window& window, const Control& control)
{
    return control.mark && window.boldFont ? window.boldFont : window.font;
}

HBRUSH markGround(const Control& edit, HDC dc)
{
    if (!edit.mark)
        return nullptr;
    const MarkColours colours = coloursOf(edit.mark->look);
    SetTextColor(dc, toColorRef(colours.text));
    SetBkColor(dc, toColorRef(colours.ground));
    SetDCBrushColor(dc, toColorRef(colours.ground));
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}

void setMark(Control& edit, const MarkDefinition* mark)
{
    if (edit.kind != ControlKind::Edit || edit.mark == mark)
        return;
    edit.mark = mark;
    if (Window* window = windowOf(GetParent(edit.handle))) {
        SendMessageW(edit.handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(*window, edit)), FALSE);
        describe(*window, edit);
    }
    RedrawWindow(edit.handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

}  // namespace Backend
