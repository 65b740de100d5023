// Scaling the form to its monitor's dpi; see Win32Dpi.h.
#include "Win32Dpi.h"

#include "Win32Fonts.h"
#include "Win32Marks.h"

#include <utility>

namespace Backend {

int scaled(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// Windows 10 on tells each monitor's dpi; looked up by name so that the
// program still starts on older Windows.
UINT dpiOf(HWND handle)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(handle))
            return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

HFONT fontAtDpi(const Window& window, Weight weight)
{
    return createFont(window.fontFamily, scaled(window.fontPixelHeight, window.dpi), weight);
}

void place(const Window& window, const Control& control)
{
    const Bounds& bounds = control.bounds;
    SetWindowPos(control.handle, nullptr, scaled(bounds.left, window.dpi), scaled(bounds.top, window.dpi),
                 scaled(bounds.width, window.dpi), scaled(bounds.height, window.dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.kind == ControlKind::Label && control.autoSize == AutoSize::Yes)
        fitToText(control.handle, window.font);
}

void changeDpi(Window& window, UINT dpi, const RECT& outer)
{
    window.dpi = dpi;
    const HFONT previous = std::exchange(window.font, fontAtDpi(window));
    const HFONT previousBold = std::exchange(window.boldFont, fontAtDpi(window, Weight::Bold));
    SetWindowPos(window.handle, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& control : window.controls) {
        SendMessageW(control->handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(window, *control)), FALSE);
        place(window, *control);
    }
    RedrawWindow(window.handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    for (HFONT font : {previous, previousBold}) {
        if (font)
            DeleteObject(font);
    }
}

}  // namespace Backend
