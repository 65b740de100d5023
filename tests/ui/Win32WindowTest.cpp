// Guards the Win32 backend as Windows itself sees the main window: the outer
// frame and every control where they were designed, the first focus on
// "Ziehung" and Tab through every stop in the designed order, texts that keep
// each character on their way through UTF-16, Return that presses only a
// focused button, and both ways of closing ending the message loop.
#include "Unit1.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
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
                                         << actual.height << " instead of " << bounds.left << "," << bounds.top
                                         << " " << bounds.width << "x" << bounds.height;
}

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

    // The child window covering the middle of the designed bounds.
    HWND childAt(const Bounds& bounds) const
    {
        POINT middle{bounds.left + bounds.width / 2, bounds.top + bounds.height / 2};
        return ChildWindowFromPointEx(window, middle, CWP_SKIPINVISIBLE);
    }

    HWND child(std::string_view name) const { return childAt(designed(name).bounds); }

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
    const HWND window = FindWindowW(nullptr, L"Form1");
    ASSERT_NE(window, nullptr);
    const Bounds& ziehung = designed("Button1").bounds;
    const RECT focused = clientRect(GetFocus());
    EXPECT_EQ(focused.left, ziehung.left);
    EXPECT_EQ(focused.top, ziehung.top);
    fresh.Close();
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
        const HWND handle = childAt(control.bounds);
        ASSERT_NE(handle, window) << control.caption;
        EXPECT_TRUE(sitsAt(handle, control.bounds)) << control.caption << " " << control.name;
    }
}

TEST_F(Win32WindowTest, TabVisitsEveryStopInTheDesignedOrderFromZiehung)
{
    std::vector<const ControlDefinition*> stops;
    for (const ControlDefinition& control : form1Definition.controls) {
        if (control.tabOrder != noTabStop)
            stops.push_back(&control);
    }
    std::sort(stops.begin(), stops.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    ASSERT_EQ(stops.size(), 24u);

    HWND current = GetFocus();
    ASSERT_EQ(current, child("Button1"));
    for (std::size_t k = 1; k <= stops.size(); ++k) {
        current = GetNextDlgTabItem(window, current, FALSE);
        const ControlDefinition& expected = *stops[k % stops.size()];  // the last Tab wraps around
        EXPECT_TRUE(sitsAt(current, expected.bounds)) << "stop " << k << " should be " << expected.name;
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
