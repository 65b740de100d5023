// The toolkit layer's backend over the Win32 API: one window class of its own,
// the system's EDIT, BUTTON and STATIC controls, and a message loop that gives
// Tab navigation through IsDialogMessage. The only file that sees Windows.
// Every text crosses the API as UTF-16; the layer above speaks UTF-8.
//
// The form is designed at 96 dpi. The program's manifest declares it aware of
// each monitor's dpi (and asks for the themed common controls), so Windows
// does not stretch it as a blurry bitmap: every bound and the font are scaled
// here, at creation and whenever the window moves to a screen of another dpi.
#include "Backend.h"
#include "Sysutils.h"
#include "WindowPlacement.h"

#ifndef UNICODE
#define UNICODE  // the system's own resources (IDI_APPLICATION, IDC_ARROW) by their wide names
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace Backend {

struct Control {
    HWND handle = nullptr;
    ControlKind kind = ControlKind::Label;
    AutoSize autoSize = AutoSize::No;
    Bounds bounds{};        // as designed, at 96 dpi
    bool named = false;     // carries a spoken name for assistive technology
    std::function<void()> onClick;
};

struct Window {
    ~Window();

    HWND handle = nullptr;
    HFONT font = nullptr;
    std::wstring fontFamily;
    int fontPixelHeight = 0;   // at 96 dpi
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    IAccPropServices* names = nullptr;  // null where the system offers no annotation
    bool comStarted = false;
    std::vector<std::unique_ptr<Control>> controls;
    HWND firstFocus = nullptr;
    HWND savedFocus = nullptr;  // the focused control while another window is active
    bool closed = true;         // until shown, and again once closed
    std::exception_ptr failure; // what escaped a message handler, for the loop to raise
};

namespace {

constexpr wchar_t windowClassName[] = L"LottoForm";
constexpr int firstControlId = 100;  // clear of IDOK and IDCANCEL, which IsDialogMessage sends
constexpr int closeGlyphSize = 16;
constexpr int closeGlyphGap = 4;

bool classRegistered = false;

// The annotation service (CAccPropServices), its interface and the name
// property. The service is made through COM, so the program does not import
// oleacc.dll and starts without it; the ids are spelled out here because the
// import library that has them brings every other id of the system along.
constexpr CLSID accPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID accPropServicesInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID accNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// A designed length in pixels at the given dpi.
int scaled(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The dpi of the window's monitor where the system tells it (Windows 10 on),
// else the system's. Looked up by name so that the program still starts on
// older Windows.
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

std::wstring toWide(std::string_view text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string toUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

std::wstring windowText(HWND handle)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

Window* windowOf(HWND handle)
{
    return reinterpret_cast<Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

// The control behind a child window, or nullptr for any other window.
Control* controlOf(const Window& window, HWND handle)
{
    if (!handle || GetParent(handle) != window.handle)
        return nullptr;
    return reinterpret_cast<Control*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

bool isButton(const Control* control)
{
    return control && (control->kind == ControlKind::Button || control->kind == ControlKind::CloseButton);
}

int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Whether the designed face is installed; where it is not, the system's dialog
// font stands in under its alias.
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

HFONT createFont(const std::wstring& family, int pixelHeight)
{
    // A negative height asks for the character height, as the designed 8 pt at 96 dpi.
    return CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str());
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

// A label that sizes itself takes the extent of its text in the window's font.
void fitLabel(const Control& control, HFONT font)
{
    const SIZE extent = textExtent(control.handle, font, windowText(control.handle));
    SetWindowPos(control.handle, nullptr, 0, 0, extent.cx, extent.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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

// The close-kind button: a push button face with the close glyph before its
// text. Where the application is themed, the face is the theme's push button
// in the same state as its neighbours'; elsewhere it is drawn the way the
// classic push button draws itself.
void drawCloseButton(const DRAWITEMSTRUCT& item, const Window& window)
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    const bool hot = SendMessageW(item.hwndItem, BM_GETSTATE, 0, 0) & BST_HOT;
    const int glyphSize = scaled(closeGlyphSize, window.dpi);
    const int glyphGap = scaled(closeGlyphGap, window.dpi);

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
    const HGDIOBJ previous = SelectObject(dc, window.font);
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

// A control at its designed bounds scaled to the window's dpi; a label that
// sizes itself then fits its text in the window's font.
void place(const Window& window, const Control& control)
{
    const Bounds& bounds = control.bounds;
    SetWindowPos(control.handle, nullptr, scaled(bounds.left, window.dpi), scaled(bounds.top, window.dpi),
                 scaled(bounds.width, window.dpi), scaled(bounds.height, window.dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.kind == ControlKind::Label && control.autoSize == AutoSize::Yes)
        fitLabel(control, window.font);
}

// The window moved to a screen of another dpi (or that screen's scale was
// changed): the system suggests the new outer frame, and every control and
// the font follow.
void changeDpi(Window& window, UINT dpi, const RECT& outer)
{
    window.dpi = dpi;
    const HFONT previous =
        std::exchange(window.font, createFont(window.fontFamily, scaled(window.fontPixelHeight, dpi)));
    SetWindowPos(window.handle, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& control : window.controls) {
        SendMessageW(control->handle, WM_SETFONT, reinterpret_cast<WPARAM>(window.font), FALSE);
        place(window, *control);
    }
    RedrawWindow(window.handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (previous)
        DeleteObject(previous);
}

// Spoken names go through the system's annotation service, which needs COM on
// this thread. A system without either still runs the program; its controls
// then keep the names that the system gives them.
void startNames(Window& window)
{
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    window.comStarted = SUCCEEDED(started);  // also S_FALSE: every success is paired with CoUninitialize
    if (FAILED(started) && started != RPC_E_CHANGED_MODE)
        return;
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(accPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, accPropServicesInterface,
                                   &services)))
        window.names = static_cast<IAccPropServices*>(services);
}


void click(Control& control)
{
    if (control.onClick)
        control.onClick();
}

void onCommand(Window& window, WPARAM wParam, LPARAM lParam)
{
    if (Control* control = controlOf(window, reinterpret_cast<HWND>(lParam))) {
        if (HIWORD(wParam) == BN_CLICKED && isButton(control))
            click(*control);
        return;
    }
    // Return where no default button exists: a focused button is pressed, an
    // edit does nothing (no button is the window's default).
    if (LOWORD(wParam) == IDOK) {
        Control* focused = controlOf(window, GetFocus());
        if (isButton(focused))
            click(*focused);
    }
}

LRESULT handleMessage(Window& window, HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(window, wParam, lParam);
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_BUTTON)
            break;
        drawCloseButton(item, window);
        return TRUE;
    }
    case WM_DPICHANGED:
        changeDpi(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        // Keyboard focus goes back to the control that had it before a message
        // box or another program took over.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (controlOf(window, GetFocus()))
                window.savedFocus = GetFocus();
            return 0;
        }
        if (HWND focus = window.savedFocus ? window.savedFocus : window.firstFocus) {
            SetFocus(focus);
            return 0;
        }
        break;
    case WM_CLOSE:
        // The title-bar close control, Alt+F4 and the system menu: the window is
        // closed as the close button does, and destroyed only with its form.
        closeWindow(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}

LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    Window* window = windowOf(handle);
    if (!window)
        return DefWindowProcW(handle, message, wParam, lParam);
    // The toolkit's dispatch shows what a click handler throws; anything that
    // still escapes must not unwind through the system's frames, so the message
    // loop raises it once the system has returned.
    try {
        return handleMessage(*window, handle, message, wParam, lParam);
    } catch (...) {
        if (!window->failure)
            window->failure = std::current_exception();
        return 0;
    }
}

HICON loadMainIcon(int size)
{
    // The program's icon resource; a program linked without it shows the system's.
    if (auto* icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR)))
        return icon;
    return LoadIconW(nullptr, IDI_APPLICATION);
}

// Ctrl+A selects an edit's whole text, which the system's edit does not do everywhere.
bool selectAll(const Window& window, const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != 'A' || !(GetKeyState(VK_CONTROL) & 0x8000)
        || (GetKeyState(VK_MENU) & 0x8000))
        return false;
    const Control* control = controlOf(window, message.hwnd);
    if (!control || control->kind != ControlKind::Edit)
        return false;
    SendMessageW(control->handle, EM_SETSEL, 0, -1);
    return true;
}

// A screen too small for the designed place moves the window just far enough
// to lie in the work area of its monitor (the screen without the task bar).
void keepInWorkArea(HWND handle)
{
    RECT frame{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(handle, &frame)
        || !GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const Bounds placed = placeInWorkArea({frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top},
                                          {work.left, work.top, work.right - work.left, work.bottom - work.top});
    if (placed.left != frame.left || placed.top != frame.top)
        SetWindowPos(handle, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Window::~Window()
{
    if (names) {
        for (const auto& control : controls) {
            if (control->named)
                names->ClearHwndProps(control->handle, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      &accNameProperty, 1);
        }
        names->Release();
    }
    if (handle)
        DestroyWindow(handle);
    if (font)
        DeleteObject(font);
    if (comStarted)
        CoUninitialize();
}

namespace {

// The form's window class, registered once, before the first window needs it.
void registerWindowClass()
{
    if (classRegistered)
        return;
    // The manifest's themed BUTTON and EDIT, registered also where the system
    // does not load the common controls by itself.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = loadMainIcon(GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = loadMainIcon(GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = windowClassName;
    if (!RegisterClassExW(&windowClass))
        throw Sysutils::Exception("Die Fensterklasse konnte nicht angemeldet werden (Fehler "
                                  + std::to_string(GetLastError()) + ").");
    classRegistered = true;
}

}  // namespace

void start(std::string_view)
{
    registerWindowClass();
}

// Windows has no display connection to open: a message box can be shown from
// the first instruction on, also when start() itself failed.
bool started()
{
    return true;
}

std::string executableName()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t nameStart = path.find_last_of(L"\\/") + 1;
    const std::size_t extension = path.rfind(L'.');
    const std::size_t nameEnd = extension != std::wstring::npos && extension > nameStart ? extension : path.size();
    return toUtf8(std::wstring_view(path).substr(nameStart, nameEnd - nameStart));
}

void WindowDeleter::operator()(Window* window) const noexcept
{
    delete window;
}

WindowPtr createWindow(const FormDefinition& definition)
{
    registerWindowClass();
    WindowPtr window(new Window);
    const Bounds& outer = definition.bounds;
    window->handle = CreateWindowExW(0, windowClassName, toWide(definition.caption).c_str(), WS_OVERLAPPEDWINDOW,
                                     outer.left, outer.top, outer.width, outer.height, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), window.get());
    if (!window->handle)
        throw Sysutils::Exception("Das Fenster konnte nicht angelegt werden (Fehler " + std::to_string(GetLastError())
                                  + ").");
    // The designed place holds in screen pixels; the size and the font follow
    // the dpi of the screen that the window opened on. The font comes first:
    // growing the window may carry it onto a screen of yet another dpi.
    window->dpi = dpiOf(window->handle);
    window->fontFamily = fontFamily(definition.font);
    window->fontPixelHeight = definition.font.pixelHeight;
    window->font = createFont(window->fontFamily, scaled(window->fontPixelHeight, window->dpi));
    if (window->dpi != USER_DEFAULT_SCREEN_DPI)
        SetWindowPos(window->handle, nullptr, 0, 0, scaled(outer.width, window->dpi), scaled(outer.height, window->dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    keepInWorkArea(window->handle);
    startNames(*window);
    return window;
}

Control& createControl(Window& window, const ControlDefinition& definition, std::function<void()> onClick)
{
    auto control = std::make_unique<Control>();
    control->kind = definition.kind;
    control->autoSize = definition.autoSize;
    control->bounds = definition.bounds;
    control->onClick = std::move(onClick);

    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD extendedStyle = 0;
    switch (definition.kind) {
    case ControlKind::Label:
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;  // one line, clipped; an ampersand is shown as it is
        break;
    case ControlKind::Edit:
        className = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL;
        extendedStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Button:
        className = L"BUTTON";
        style |= BS_PUSHBUTTON;
        break;
    case ControlKind::CloseButton:
        className = L"BUTTON";
        style |= BS_OWNERDRAW;
        break;
    }
    const Bounds& bounds = definition.bounds;
    const auto id = static_cast<INT_PTR>(firstControlId + window.controls.size());
    control->handle = CreateWindowExW(extendedStyle, className, toWide(definition.caption).c_str(), style,
                                      scaled(bounds.left, window.dpi), scaled(bounds.top, window.dpi),
                                      scaled(bounds.width, window.dpi), scaled(bounds.height, window.dpi),
                                      window.handle, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    if (!control->handle)
        throw Sysutils::Exception("Das Steuerelement \u201E" + std::string(definition.name)
                                  + "\u201C konnte nicht angelegt werden.");
    SetWindowLongPtrW(control->handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    SendMessageW(control->handle, WM_SETFONT, reinterpret_cast<WPARAM>(window.font), FALSE);
    if (definition.kind == ControlKind::Edit)
        SendMessageW(control->handle, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows
    if (definition.kind == ControlKind::Label && definition.autoSize == AutoSize::Yes)
        fitLabel(*control, window.font);

    window.controls.push_back(std::move(control));
    return *window.controls.back();
}

void setSpokenName(Control& control, std::string_view name)
{
    const Window* window = windowOf(GetParent(control.handle));
    if (!window || !window->names)
        return;
    control.named = SUCCEEDED(window->names->SetHwndPropStr(control.handle, static_cast<DWORD>(OBJID_CLIENT),
                                                            CHILDID_SELF, accNameProperty, toWide(name).c_str()))
                    || control.named;
}

// Every control that a label names already carries its spoken name from the
// form's table (see createControl), and that name is the more precise one
// ("Tipp 1" rather than the column's "Tippeingabe"). The relation Windows
// itself knows, an unnamed edit taking the name of the static just before it
// in z-order, would add nothing, and the z-order here is the tab order.
void relateLabel(Control&, Control&) {}

// IsDialogMessage walks the tab stops in the order of the children's z-order;
// each control is a group of its own, so arrow keys do not move the focus.
void setTabOrder(Window& window, std::span<Control* const> order)
{
    HWND previous = HWND_TOP;
    for (Control* control : order) {
        const LONG_PTR style = GetWindowLongPtrW(control->handle, GWL_STYLE);
        SetWindowLongPtrW(control->handle, GWL_STYLE, style | WS_TABSTOP | WS_GROUP);
        SetWindowPos(control->handle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control->handle;
    }
    window.firstFocus = order.empty() ? nullptr : order.front()->handle;
}

void showWindow(Window& window)
{
    window.closed = false;
    window.savedFocus = nullptr;
    ShowWindow(window.handle, SW_SHOWNORMAL);
    SetForegroundWindow(window.handle);
    if (window.firstFocus)
        SetFocus(window.firstFocus);
    UpdateWindow(window.handle);
}

void closeWindow(Window& window)
{
    if (window.closed)
        return;
    window.closed = true;
    ShowWindow(window.handle, SW_HIDE);
    PostMessageW(window.handle, WM_NULL, 0, 0);  // wakes the loop to see it
}

bool isVisible(const Window& window)
{
    return !window.closed && IsWindowVisible(window.handle);
}

void runUntilClosed(Window& window)
{
    MSG message;
    while (!window.closed) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the whole program to quit: the window goes with it.
            closeWindow(window);
            break;
        }
        if (got == -1)
            throw Sysutils::Exception("Die Nachrichtenschleife ist gescheitert (Fehler "
                                      + std::to_string(GetLastError()) + ").");
        if (!selectAll(window, message) && !IsDialogMessageW(window.handle, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (window.failure)
            std::rethrow_exception(std::exchange(window.failure, nullptr));
    }
}

std::string getText(const Control& control)
{
    return toUtf8(windowText(control.handle));
}

void setText(Control& control, std::string_view text)
{
    SetWindowTextW(control.handle, toWide(text).c_str());
    if (control.kind == ControlKind::Label && control.autoSize == AutoSize::Yes) {
        const Window* window = windowOf(GetParent(control.handle));
        if (window)
            fitLabel(control, window->font);
    }
}

void showMessage(std::string_view title, std::string_view message)
{
    MessageBoxW(GetActiveWindow(), toWide(message).c_str(), toWide(title).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace Backend
