// The backend of a program that shows no window: the build's tool that
// writes the page's parts from the form's table (PageMarkupMain.cpp), which
// links the toolkit only because the table names the window's handlers. Its
// windows are never shown; each control keeps the text it is given, so that
// a form made here still holds its fields. Nothing is said, and a message
// goes to standard error. The ticket's grid and the part for a long task it
// declines as the desktops do (NoNumberGrid.cpp, NoTaskPart.cpp).
#include "Backend.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace Backend {

struct Control {
    std::string text;
};

struct Window {
    std::vector<std::unique_ptr<Control>> controls;
    bool shown = false;
};

namespace {

bool running = false;

}  // namespace

void start(std::string_view)
{
    running = true;
}

bool started()
{
    return running;
}

std::string executableName()
{
    return {};
}

void WindowDeleter::operator()(Window* window) const noexcept
{
    delete window;
}

WindowPtr createWindow(const FormDefinition&)
{
    return WindowPtr(new Window);
}

// Nothing is clicked or edited where nothing is shown. The seam takes the
// actions by value for the backends that keep them.
// NOLINTBEGIN(performance-unnecessary-value-param)
Control& createControl(Window& window,
                       const ControlDefinition& definition,
                       std::function<void()>,
                       std::function<void()>)
// NOLINTEND(performance-unnecessary-value-param)
{
    window.controls.push_back(std::make_unique<Control>(Control{std::string(definition.caption)}));
    return *window.controls.back();
}

void setSpokenName(Control&, std::string_view) {}
void setDescription(Control&, std::string_view) {}
void relateLabel(Control&, Control&, LabelRole) {}
void setTabOrder(Window&, std::span<Control* const>) {}

void showWindow(Window& window)
{
    window.shown = true;
}

void closeWindow(Window& window)
{
    window.shown = false;
}

bool isVisible(const Window& window)
{
    return window.shown;
}

// No event ever comes: the window is closed at once.
void runUntilClosed(Window& window)
{
    window.shown = false;
}

std::string getText(const Control& control)
{
    return control.text;
}

void setText(Control& control, std::string_view text)
{
    control.text = text;
}

void setMark(Control&, const MarkDefinition*) {}
void announce(Window&, std::string_view) {}

void showMessage(std::string_view title, std::string_view message)
{
    (void)std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                       static_cast<int>(message.size()), message.data());
}

}  // namespace Backend
