// Guards the Win32 backend as Windows itself sees the main window: the outer
// frame and every control where they were designed, each found by the name
// that other programs read, the first focus on "Ziehung" and Tab through every
// stop in the designed order, texts that keep each character on their way
// through UTF-16, Return that presses only a focused button, the marks of the
// numbers that hit as Windows draws them, and both ways of closing ending the
// message loop.
#include "RandomSource.h"
#include "Unit1.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

RECT clientRect(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult sitsAt(HWND control, const Bounds& bounds)
{
    const RECT rect = clientRect(control);
    const Bounds actual{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    if (actual.left == bounds.left && actual.top == bounds.top && actual.width == bounds.width
        && actual.height == bounds.height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << actual.left << "," << actual.top << " " << actual.width << "x"
                                         << actual.height << " instead of " << bounds.left << "," << bounds.top << " "
                                         << bounds.width << "x" << bounds.height;
}

std::string utf8(std::wstring_view text)
{
    const int length = static_cast<int>(text.size());
    std::string narrow(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), static_cast<int>(narrow.size()), nullptr,
                        nullptr);
    return narrow;
}

// The control's name from the form's table, read as any other program reads
// it: the window property "ControlName" holds a global atom of the name.
std::string controlName(HWND control)
{
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(control, L"ControlName")));
    wchar_t name[256] = {};
    const UINT length = atom ? GlobalGetAtomNameW(atom, name, 256) : 0;
    return utf8({name, length});
}

std::wstring windowText(HWND control)
{
    wchar_t text[256] = {};
    return {text, static_cast<std::size_t>(GetWindowTextW(control, text, 256))};
}

// The one child of the window with the control's name, or, for a label that
// the form does not refer to, the one unnamed child showing its caption;
// nullptr where there is none or more than one.
HWND findControl(HWND window, const ControlDefinition& control)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string name = controlName(child);
        if (name == control.name && (!name.empty() || utf8(windowText(child)) == control.caption))
            found.push_back(child);
    }
    return found.size() == 1 ? found.front() : nullptr;
}

std::string accessibleName(HWND control)
{
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))))
        return "<no accessible object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    accessible->get_accName(self, &name);
    accessible->Release();
    if (!name)
        return {};
    std::string narrow = utf8({name, SysStringLen(name)});
    SysFreeString(name);
    return narrow;
}

// The system's annotation service (CAccPropServices).
constexpr CLSID annotationService = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};

// Stands in for the annotation service: keeps the names given to controls,
// in order, and their descriptions, and counts the controls whose names are
// taken back. Lives on the test's stack.
class NameRecorder final : public IAccPropServices, public IClassFactory {
public:
    std::vector<std::string> names;
    std::map<std::string, std::string> descriptions;  // by control name
    std::size_t cleared = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (id == IID_IUnknown || id == IID_IAccPropServices)
            *object = static_cast<IAccPropServices*>(this);
        else if (id == IID_IClassFactory)
            *object = static_cast<IClassFactory*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override
    {
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(id, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE
    SetHwndPropStr(HWND control, DWORD object, DWORD child, MSAAPROPID property, LPCWSTR text) override
    {
        if (!IsWindow(control) || object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF)
            return E_INVALIDARG;
        if (property == PROPID_ACC_NAME)
            names.push_back(utf8(text));
        else if (property == PROPID_ACC_DESCRIPTION)
            descriptions[controlName(control)] = utf8(text);
        else
            return E_INVALIDARG;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    ClearHwndProps(HWND control, DWORD, DWORD, const MSAAPROPID* properties, int count) override
    {
        if (IsWindow(control) && std::count(properties, properties + count, PROPID_ACC_NAME) == 1)
            ++cleared;
        return S_OK;
    }

    // Nothing else is asked of the service.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE
    SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override
    {
        return E_NOTIMPL;
    }
};

const ControlDefinition& designed(std::string_view name)
{
    for (const ControlDefinition& control : form1Definition.controls) {
        if (control.name == name)
            return control;
    }
    throw std::logic_error("no control " + std::string(name));
}

// One window for all cases: Wine takes seconds to make and tear down a window.
// Each case starts with it shown, every edit empty and the focus on "Ziehung".
class Win32WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { shared = new TForm1; }
    static void TearDownTestSuite() { delete std::exchange(shared, nullptr); }

    void SetUp() override
    {
        for (const ControlDefinition& control : form1Definition.controls) {
            if (control.kind == ControlKind::Edit)
                form.FindControl(control.name).SetText("");
        }
        if (!form.Visible())
            form.Show();
        window = FindWindowW(nullptr, L"Form1");
        ASSERT_NE(window, nullptr);
        SetFocus(child("Button1"));
    }

    HWND child(std::string_view name) const { return findControl(window, designed(name)); }

    // Delivers what has been posted, then closes the window the way the title bar does.
    void runPostedMessages()
    {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        Backend::runUntilClosed(form.Native());
    }

    static inline TForm1* shared = nullptr;
    TForm1& form = *shared;
    HWND window = nullptr;
};

// On a window of its own: the focus at start is what showing gives, nothing else.
TEST(Win32FirstFocus, IsOnZiehung)
{
    TForm1 fresh;
    fresh.Show();
    ASSERT_NE(FindWindowW(nullptr, L"Form1"), nullptr);
    EXPECT_EQ(controlName(GetFocus()), "Button1");
    fresh.Close();
}

// On a screen of another dpi (the ctest run wine.window_tests.144dpi gives
// Wine's screen 144 dpi and says so in LOTTO_TEST_DPI): the window keeps its
// designed place, its outer size and every control are the designed ones
// scaled by dpi/96, also after the dpi changed under the window, and a draw
// and "Schließen" work by mouse clicks at the scaled places.
TEST(Win32HighDpi, ScaledByTheScreensDpiAndPlayableByClicks)
{
    const char* wanted = std::getenv("LOTTO_TEST_DPI");
    if (!wanted)
        GTEST_SKIP() << "needs a screen of another dpi: ctest -R 144dpi";
    const int dpi = std::atoi(wanted);
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), dpi) << "the screen did not get its dpi";
    ReleaseDC(nullptr, screen);

    TForm1 form;
    form.Show();
    const HWND window = FindWindowW(nullptr, L"Form1");
    ASSERT_NE(window, nullptr);
    const auto scaleTo = [](int at) { return [at](int length) { return (length * at + 48) / 96; }; };
    const auto expectScaledBy = [&](int at) {
        const auto scale = scaleTo(at);
        const Bounds& outer = form1Definition.bounds;
        RECT frame{};
        GetWindowRect(window, &frame);
        EXPECT_EQ(frame.left, outer.left);
        EXPECT_EQ(frame.top, outer.top);
        EXPECT_NEAR(frame.right - frame.left, scale(outer.width), 4) << "at " << at << " dpi";
        EXPECT_NEAR(frame.bottom - frame.top, scale(outer.height), 4) << "at " << at << " dpi";
        for (const ControlDefinition& control : form1Definition.controls) {
            const std::string where = std::string(control.caption) + " at " + std::to_string(at) + " dpi";
            const Bounds& at96 = control.bounds;
            const Bounds scaled{scale(at96.left), scale(at96.top), scale(at96.width), scale(at96.height)};
            const HWND handle = findControl(window, control);
            ASSERT_NE(handle, nullptr) << where;
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -scale(form1Definition.font.pixelHeight)) << where;
            if (control.autoSize == AutoSize::No) {
                EXPECT_TRUE(sitsAt(handle, scaled)) << where;
                continue;
            }
            const RECT rect = clientRect(handle);
            EXPECT_TRUE(rect.left == scaled.left && rect.top == scaled.top) << where;
            // A label's size is its text's in the scaled font, rounded to the
            // font sizes that the screen has; Wine chooses its bitmap fonts by
            // the screen's dpi, so only there do they keep the designed proportions.
            if (at == dpi) {
                EXPECT_NEAR(rect.right - rect.left, scaled.width, 4) << where;
                EXPECT_NEAR(rect.bottom - rect.top, scaled.height, 2) << where;
            }
        }
    };
    expectScaledBy(dpi);

    // Moved to a screen of 96 dpi and back, as the system tells it.
    for (const int at : {96, dpi}) {
        const Bounds& outer = form1Definition.bounds;
        RECT suggested{outer.left, outer.top, outer.left + scaleTo(at)(outer.width),
                       outer.top + scaleTo(at)(outer.height)};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(at, at), reinterpret_cast<LPARAM>(&suggested));
        expectScaledBy(at);
    }

    const auto clickOn = [&](std::string_view name) {
        const Bounds& bounds = designed(name).bounds;
        const auto scale = scaleTo(dpi);
        POINT middle{scale(bounds.left) + scale(bounds.width) / 2, scale(bounds.top) + scale(bounds.height) / 2};
        ClientToScreen(window, &middle);
        SetCursorPos(middle.x, middle.y);
        INPUT press[2] = {};
        press[0].type = press[1].type = INPUT_MOUSE;
        press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, press, sizeof(INPUT));
    };
    // Waits for what the input did, up to a generous limit: the machines that run tests are shared.
    const auto deliverUntil = [](const auto& done) {
        const ULONGLONG deadline = GetTickCount64() + 60000;
        while (!done() && GetTickCount64() < deadline) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
        return done();
    };
    clickOn("Button6");
    EXPECT_TRUE(deliverUntil([&] { return !form.Tipp6.GetText().empty(); })) << "\"Zufallszahlen\" fills the ticket";
    clickOn("Button1");
    EXPECT_TRUE(deliverUntil([&] { return !form.Zahl7.GetText().empty(); })) << "\"Ziehung\" draws";
    EXPECT_FALSE(form.EditGewinn.GetText().empty());
    clickOn("BitBtn1");
    EXPECT_TRUE(deliverUntil([&] { return !form.Visible(); })) << "\"Schließen\" closes the window";
}

TEST_F(Win32WindowTest, OuterFrameIsTheDesignedOne)
{
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 241);
    EXPECT_EQ(outer.top, 107);
    EXPECT_EQ(outer.right - outer.left, 696);
    EXPECT_EQ(outer.bottom - outer.top, 480);
}

// Labels that size themselves are held to their designed size as well: that
// size is their text's in the designed font, so a stand-in font shows here.
TEST_F(Win32WindowTest, EveryControlSitsAtItsDesignedPlaceAndSize)
{
    for (const ControlDefinition& control : form1Definition.controls) {
        const HWND handle = findControl(window, control);
        ASSERT_NE(handle, nullptr) << "no single control " << control.name << " \"" << control.caption << "\"";
        EXPECT_TRUE(sitsAt(handle, control.bounds)) << control.caption << " " << control.name;
    }
}

// What a screen reader announces, read through each control's accessible
// object: the spoken name of the form's table, or the caption where it has
// none. Wine takes the annotation without effect (its edits answer with no
// name), so there the names are also caught on their way to the system's
// annotation service, which a recorder stands in for while a second window
// is made: once for each control, again where a button's caption changes but
// not after a draw, whose hits and result in words are said after their
// fields' names, and taken back once for each control when the window goes.
TEST_F(Win32WindowTest, EveryControlAnnouncesItsSpokenName)
{
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    for (const ControlDefinition& control : form1Definition.controls) {
        const std::string_view expected = control.spokenName.empty() ? control.caption : control.spokenName;
        const std::string announced = accessibleName(findControl(window, control));
        if (wine && !control.spokenName.empty() && announced.empty())
            continue;
        EXPECT_EQ(announced, expected) << control.name;
    }

    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    NameRecorder recorder;
    DWORD registration = 0;
    ASSERT_EQ(CoRegisterClassObject(annotationService, static_cast<IClassFactory*>(&recorder), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &registration),
              S_OK);
    auto second = std::make_unique<TForm1>();
    CoRevokeClassObject(registration);
    std::vector<std::string> spoken;
    for (const ControlDefinition& control : form1Definition.controls)
        spoken.emplace_back(control.spokenName.empty() ? control.caption : control.spokenName);
    EXPECT_EQ(recorder.names, spoken);
    std::map<std::string, std::string> headings;
    for (const ControlDefinition& control : form1Definition.controls) {
        if (control.labelFor.role == LabelRole::Heading && !control.labelFor.control.empty())
            headings.emplace(control.labelFor.control, control.caption);
    }
    EXPECT_EQ(recorder.descriptions, headings) << "a heading is said after its control's own name";
    second->Button7.SetText("Alles löschen");
    spoken.emplace_back("Alles löschen");
    lotto::sharedRandomSource() = lotto::RandomSource();  // the draw: 3 16 21 36 37 44, bonus 10
    const char* ticket[] = {"44", "3", "25", "15", "07", "10"};
    TEdit* fields[] = {&second->Tipp1, &second->Tipp2, &second->Tipp3, &second->Tipp4, &second->Tipp5, &second->Tipp6};
    for (int k = 0; k < 6; ++k)
        fields[k]->SetText(ticket[k]);  // the player's input, no name
    second->Button1Click();
    EXPECT_EQ(recorder.names, spoken);
    auto described = headings;
    described.insert({{"Tipp3", "Zusatzzahl getroffen"},
                      {"Tipp6", "Treffer"},
                      {"Zahl6", "Treffer"},
                      {"Zahl7", "Zusatzzahl getroffen"}});
    described["Tipp1"] = "Treffer, Tippeingabe ";
    described["Zahl1"] = "Treffer, Ziehung";
    described["EditGewinn"] = "Kein Gewinn, Gewinn";  // the result in words
    EXPECT_EQ(recorder.descriptions, described);
    second.reset();
    EXPECT_EQ(recorder.cleared, form1Definition.controls.size()) << "a destroyed window leaves no annotation behind";
    CoUninitialize();
}

TEST_F(Win32WindowTest, TabVisitsEveryStopInTheDesignedOrderFromZiehung)
{
    const std::vector<std::size_t> stops = tabStops(form1Definition.controls);
    ASSERT_FALSE(stops.empty());

    HWND current = GetFocus();
    ASSERT_EQ(current, child(form1Definition.controls[stops[0]].name));
    for (std::size_t k = 1; k <= stops.size(); ++k) {
        current = GetNextDlgTabItem(window, current, FALSE);
        const ControlDefinition& expected = form1Definition.controls[stops[k % stops.size()]];  // the last wraps
        EXPECT_EQ(controlName(current), expected.name) << "stop " << k;
    }
}

TEST_F(Win32WindowTest, TextsKeepEveryCharacterThroughTheWideApi)
{
    wchar_t caption[64] = {};
    GetWindowTextW(child("Label1"), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Zahleneingabe f\u00FCr Faule");
    GetWindowTextW(child("BitBtn1"), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Schlie\u00DFen");
    EXPECT_EQ(form.Button7.GetText(), "Tippschein löschen!");

    const std::string texts[] = {"ß ü ö Ä €", "🎱 49", "", std::string(40000, '7')};
    for (const std::string& text : texts) {
        form.Tipp1.SetText(text);
        EXPECT_EQ(form.Tipp1.GetText(), text);
    }
}

TEST_F(Win32WindowTest, EditsTakeTextBeyondTheSystemsDefaultLimit)
{
    form.EditDoppelt.SetText(std::string(40000, 'x'));
    const HWND edit = child("EditDoppelt");
    SendMessageW(edit, EM_SETSEL, 40000, 40000);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"y"));  // as typing or pasting does
    EXPECT_EQ(form.EditDoppelt.GetText(), std::string(40000, 'x') + "y");
}

TEST_F(Win32WindowTest, ReturnInAnEditDoesNotDraw)
{
    const char* ticket[] = {"1", "2", "3", "4", "5", "6"};
    TEdit* fields[] = {&form.Tipp1, &form.Tipp2, &form.Tipp3, &form.Tipp4, &form.Tipp5, &form.Tipp6};
    for (int k = 0; k < 6; ++k)
        fields[k]->SetText(ticket[k]);
    SetFocus(child("Tipp1"));
    PostMessageW(child("Tipp1"), WM_KEYDOWN, VK_RETURN, 1);
    runPostedMessages();
    EXPECT_EQ(form.Zahl1.GetText(), "");
    EXPECT_EQ(form.EditGewinn.GetText(), "");
}

TEST_F(Win32WindowTest, ReturnOnAFocusedButtonPressesIt)
{
    form.Tipp1.SetText("7");
    SetFocus(child("Button7"));
    PostMessageW(child("Button7"), WM_KEYDOWN, VK_RETURN, 1);
    runPostedMessages();
    EXPECT_EQ(form.Tipp1.GetText(), "") << "\"Tippschein löschen!\" empties the ticket";
}

// A draw with the ticket 3 7 10 15 25 44 against 3 16 21 36 37 44 + 10: the
// edits of 3 and 44 on both sides and of the bonus number on both show a mark
// as Windows draws them, in the bold face on a ground of its own, until their
// text changes or the next draw.
TEST_F(Win32WindowTest, ADrawMarksTheHitsUntilTheirTextChanges)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const auto grounds = [&] {
        std::map<std::string, COLORREF> marked;
        for (const ControlDefinition& control : form1Definition.controls) {
            if (control.kind != ControlKind::Edit)
                continue;
            const HWND edit = child(control.name);
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof font, &font);
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            SendMessageW(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
            const COLORREF ground = GetBkColor(dc);
            EXPECT_EQ(font.lfWeight >= FW_BOLD, ground != GetSysColor(COLOR_WINDOW))
                << control.name << ": bold only on the mark's ground";
            if (font.lfWeight >= FW_BOLD)
                marked[std::string(control.name)] = ground;
        }
        return marked;
    };
    const auto names = [](const std::map<std::string, COLORREF>& marked) {
        std::set<std::string> found;
        for (const auto& [name, ground] : marked)
            found.insert(name);
        return found;
    };
    const auto typeTicketAndDraw = [&] {
        lotto::sharedRandomSource() = lotto::RandomSource();
        const char* ticket[] = {"44", "3", "25", "15", "07", "10"};
        TEdit* fields[] = {&form.Tipp1, &form.Tipp2, &form.Tipp3, &form.Tipp4, &form.Tipp5, &form.Tipp6};
        for (int k = 0; k < 6; ++k)
            fields[k]->SetText(ticket[k]);
        SendMessageW(child("Button1"), BM_CLICK, 0, 0);
    };

    typeTicketAndDraw();
    ASSERT_EQ(form.Tipp3.GetText(), "10");
    const auto marked = grounds();
    EXPECT_EQ(names(marked), (std::set<std::string>{"Tipp1", "Tipp3", "Tipp6", "Zahl1", "Zahl6", "Zahl7"}));
    if (marked.size() == 6) {
        EXPECT_EQ(marked.at("Tipp1"), marked.at("Zahl6"));
        EXPECT_EQ(marked.at("Tipp3"), marked.at("Zahl7"));
        EXPECT_NE(marked.at("Tipp1"), marked.at("Tipp3")) << "a main number's mark is not the bonus number's";
    }

    SendMessageW(child("Tipp1"), EM_SETSEL, 1, 1);
    SendMessageW(child("Tipp1"), WM_CHAR, L'1', 1);  // typed by the player
    EXPECT_EQ(form.Tipp1.GetText(), "31");
    EXPECT_EQ(names(grounds()), (std::set<std::string>{"Tipp3", "Tipp6", "Zahl1", "Zahl6", "Zahl7"}));
    SendMessageW(child("Button7"), BM_CLICK, 0, 0);
    EXPECT_EQ(names(grounds()), std::set<std::string>{}) << "Tippschein löschen!";

    typeTicketAndDraw();
    SendMessageW(child("Button3"), BM_CLICK, 0, 0);  // a ticket that the next draw finds fault with
    EXPECT_EQ(names(grounds()), (std::set<std::string>{"Zahl1", "Zahl6", "Zahl7"}));
    SendMessageW(child("Button1"), BM_CLICK, 0, 0);
    EXPECT_EQ(form.EditDoppelt.GetText(), "Doppelte Zahl");
    EXPECT_EQ(names(grounds()), std::set<std::string>{}) << "a draw ending at a finding";
    DeleteDC(dc);
}

TEST_F(Win32WindowTest, TheTitleBarCloseEndsTheLoop)
{
    runPostedMessages();
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(Win32WindowTest, TheCloseButtonEndsTheLoop)
{
    PostMessageW(child("BitBtn1"), BM_CLICK, 0, 0);
    Backend::runUntilClosed(form.Native());
    EXPECT_FALSE(form.Visible());
}

}  // namespace
