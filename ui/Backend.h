// What a native GUI backend provides to the toolkit layer. The toolkit classes
// and everything above them see only these declarations; one implementation
// file per platform defines them (Qt Widgets on Linux, the Win32 API on
// Windows), so no native header leaks.
#pragma once

#include "FormDefinition.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace Backend {

struct Window;   // a top-level window; owns its controls
struct Control;

// Opens the connection to the display. Where no usable display can be had the
// program ends here, with exit code 1 and one line on standard error naming the
// cause: a native toolkit allows no way back from a failed start. Anything
// else that fails raises Sysutils::Exception.
void start();
bool started();

// The default title of the application: the executable's name.
std::string applicationTitle();

struct WindowDeleter {
    void operator()(Window* window) const noexcept;
};
using WindowPtr = std::unique_ptr<Window, WindowDeleter>;

// A hidden window with the definition's caption, frame, font and colours.
WindowPtr createWindow(const FormDefinition& definition);
Control& createControl(Window& window, const ControlDefinition& definition, std::function<void()> onClick);

// Tells assistive technology that a label names the target control.
void relateLabel(Control& label, Control& target);

// Tab order follows the sequence; the first control gets the focus on showing.
void setTabOrder(Window& window, std::span<Control* const> order);

void showWindow(Window& window);
void closeWindow(Window& window);
bool isVisible(const Window& window);

// Delivers events until the window has been closed.
void runUntilClosed(Window& window);

std::string getText(const Control& control);
void setText(Control& control, std::string_view text);

// A modal message with one OK button, over the active window.
void showMessage(std::string_view title, std::string_view message);

}  // namespace Backend
