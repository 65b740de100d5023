// The toolkit layer's backend over the Win32 API: one window class of its own,
// the system's EDIT, BUTTON and STATIC controls, and a message loop that gives
// Tab navigation through IsDialogMessage. The only file that sees Windows.
// Every text crosses the API as UTF-16; the layer above speaks UTF-8.
#include "Backend.h"
#include "Sysutils.h"

#ifndef UNICODE
#define UNICODE  // the system's own resources (IDI_APPLICATION, IDC_ARROW) by their wide names
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace Backend {

struct Control {
    HWND handle = nullptr;
    ControlKind kind = ControlKind::Label;
    AutoSize autoSize = AutoSize::No;
    std::function<void()> onClick;
};

struct Window {
    ~Window()
    {
        if (handle)
            DestroyWindow(handle);
        if (font)
            DeleteObject(font);
    }

    HWND handle = nullptr;
    HFONT font = nullptr;
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

HFONT createFont(const FontDefinition& definition)
{
    std::wstring family = toWide(definition.family);
    if (family.empty() || !fontInstalled(family))
        family = L"MS Shell Dlg";
    // A negative height asks for the character height, as the designed 8 pt at 96 dpi.
    return CreateFontW(-definition.pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       family.c_str());
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

// The close-kind button: a push button face with the system's caption close
// glyph before its text, drawn the way the classic push button draws itself.
void drawCloseButton(const DRAWITEMSTRUCT& item, HFONT font)
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    if (focused) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    const std::wstring text = windowText(item.hwndItem);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int shift = pushed ? 1 : 0;
    const int contentWidth = closeGlyphSize + closeGlyphGap + extent.cx;
    const int left = (face.left + face.right - contentWidth) / 2 + shift;
    const int middle = (face.top + face.bottom) / 2 + shift;

    RECT glyph{left, middle - closeGlyphSize / 2, left + closeGlyphSize, middle - closeGlyphSize / 2 + closeGlyphSize};
    DrawFrameControl(dc, &glyph, DFC_CAPTION, DFCS_CAPTIONCLOSE);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextOutW(dc, glyph.right + closeGlyphGap, middle - extent.cy / 2, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, previous);

    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
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
        drawCloseButton(item, window.font);
        return TRUE;
    }
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

}  // namespace

void start()
{
    if (classRegistered)
        return;
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

// Windows has no display connection to open: a message box can be shown from
// the first instruction on, also when start() itself failed.
bool started()
{
    return true;
}

std::string applicationTitle()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return "lotto";
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
    start();
    WindowPtr window(new Window);
    const Bounds& outer = definition.bounds;
    window->handle = CreateWindowExW(0, windowClassName, toWide(definition.caption).c_str(), WS_OVERLAPPEDWINDOW,
                                     outer.left, outer.top, outer.width, outer.height, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), window.get());
    if (!window->handle)
        throw Sysutils::Exception("Das Fenster konnte nicht angelegt werden (Fehler " + std::to_string(GetLastError())
                                  + ").");
    window->font = createFont(definition.font);
    return window;
}

Control& createControl(Window& window, const ControlDefinition& definition, std::function<void()> onClick)
{
    auto control = std::make_unique<Control>();
    control->kind = definition.kind;
    control->autoSize = definition.autoSize;
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
                                      bounds.left, bounds.top, bounds.width, bounds.height, window.handle,
                                      reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
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

void relateLabel(Control&, Control&)
{
    // Windows' accessibility names each control on its own; see createControl.
}

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
