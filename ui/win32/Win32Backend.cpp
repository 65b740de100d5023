// The toolkit layer's backend over the Win32 API: one window class of its own,
// the system's EDIT, BUTTON and STATIC controls, and a message loop that gives
// Tab navigation through IsDialogMessage. The text's way through UTF-16, the
// fonts, the scaling to each monitor's dpi, the close button's face, the
// edits' marks, the spoken names and the names for tools each have their own
// file beside this one; this folder is the only place that sees Windows.
#include "Backend.h"
#include "Sysutils.h"
#include "Win32CloseButton.h"
#include "Win32ControlNames.h"
#include "Win32Dpi.h"
#include "Win32Fonts.h"
#include "Win32Marks.h"
#include "Win32Text.h"
#include "Win32Window.h"
#include "WindowPlacement.h"

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace Backend {

namespace {

constexpr wchar_t windowClassName[] = L"LottoForm";
constexpr int firstControlId = 100;  // clear of IDOK and IDCANCEL, which IsDialogMessage sends

bool classRegistered = false;

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
        // The system reports the program's own SetWindowText as a change too.
        else if (HIWORD(wParam) == EN_CHANGE && control->kind == ControlKind::Edit && !control->settingText
                 && control->onEdited)
            control->onEdited();
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
    case WM_CTLCOLOREDIT:
        if (const Control* control = controlOf(window, reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH ground = markGround(*control, reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(ground);
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_BUTTON)
            break;
        drawCloseButton(item, window.font, window.dpi);
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
    if (!GetWindowRect(handle, &frame) || !GetMonitorInfoW(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const Bounds placed = placeInWorkArea({frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top},
                                          {work.left, work.top, work.right - work.left, work.bottom - work.top});
    if (placed.left != frame.left || placed.top != frame.top)
        SetWindowPos(handle, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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

Window::~Window()
{
    // Names for tools and for assistive technology are taken back while their
    // controls still exist.
    for (const auto& control : controls)
        forgetControlName(control->handle);
    spokenNames.clear();
    if (handle)
        DestroyWindow(handle);
    for (HFONT made : {font, boldFont}) {
        if (made)
            DeleteObject(made);
    }
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
    window->font = fontAtDpi(*window);
    window->boldFont = fontAtDpi(*window, Weight::Bold);
    if (window->dpi != USER_DEFAULT_SCREEN_DPI)
        SetWindowPos(window->handle, nullptr, 0, 0, scaled(outer.width, window->dpi), scaled(outer.height, window->dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    keepInWorkArea(window->handle);
    return window;
}

Control& createControl(Window& window,
                       const ControlDefinition& definition,
                       std::function<void()> onClick,
                       std::function<void()> onEdited)
{
    auto control = std::make_unique<Control>();
    control->kind = definition.kind;
    control->autoSize = definition.autoSize;
    control->bounds = definition.bounds;
    control->onClick = std::move(onClick);
    control->onEdited = std::move(onEdited);

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
    const auto id = static_cast<INT_PTR>(firstControlId + window.controls.size());
    control->handle = CreateWindowExW(extendedStyle, className, toWide(definition.caption).c_str(), style, 0, 0, 0, 0,
                                      window.handle, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    if (!control->handle)
        throw Sysutils::Exception("Das Steuerelement \u201E" + std::string(definition.name)
                                  + "\u201C konnte nicht angelegt werden.");
    SetWindowLongPtrW(control->handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    SendMessageW(control->handle, WM_SETFONT, reinterpret_cast<WPARAM>(window.font), FALSE);
    if (definition.kind == ControlKind::Edit) {
        SendMessageW(control->handle, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows
        prepareMark(*control);
    }
    place(window, *control);

    window.controls.push_back(std::move(control));
    keepControlName(window.controls.back()->handle, definition.name);
    return *window.controls.back();
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
    control.settingText = true;
    SetWindowTextW(control.handle, toWide(text).c_str());
    control.settingText = false;
    if (control.kind == ControlKind::Label && control.autoSize == AutoSize::Yes) {
        const Window* window = windowOf(GetParent(control.handle));
        if (window)
            fitToText(control.handle, window->font);
    }
}

void showMessage(std::string_view title, std::string_view message)
{
    MessageBoxW(GetActiveWindow(), toWide(message).c_str(), toWide(title).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace Backend
