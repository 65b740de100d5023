// What a native GUI backend provides to the toolkit layer. The toolkit classes
// and everything above them see only these declarations; each platform has its
// own implementation behind them (Qt Widgets in qt/, the Win32 API in win32/,
// the page's own elements in web/), so no native header leaks. Decisions that
// the platforms share (which face fits the form, what a control is called
// aloud and what is said after its name, where the window goes, which field
// shows a mark, how it looks and when it goes, what a tap on the grid does)
// are made above this seam; a backend applies them. The seam knows nothing of
// the game: a mark is a look and what it says.
#pragma once

#include "FormDefinition.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace Backend {

struct Window;  // a top-level window; owns its controls
struct Control;
struct NumberGrid;  // the grid of a form's ticket, where the platform offers one
struct TaskPart;    // the part that runs a form's long task, where the platform offers one

// Opens the connection to the display. Where no usable display can be had the
// program ends here, with exit code 1 and one line on standard error that
// starts with the application's title and names the cause: a native toolkit
// allows no way back from a failed start. Anything else that fails raises
// Sysutils::Exception.
void start(std::string_view applicationTitle);
bool started();

// The name of the running program's file, without folder and extension; ""
// where the platform runs no program file of its own.
std::string executableName();

struct WindowDeleter {
    void operator()(Window* window) const noexcept;
};
using WindowPtr = std::unique_ptr<Window, WindowDeleter>;

// A hidden window with the definition's caption, frame, font and colours.
WindowPtr createWindow(const FormDefinition& definition);

// onClick: a button was pressed. onEdited: the player changed an edit's text
// (typing, pasting, cutting, undoing); never called for the program's own setText.
Control& createControl(Window& window,
                       const ControlDefinition& definition,
                       std::function<void()> onClick,
                       std::function<void()> onEdited);

// What assistive technology announces for the control, from now on.
void setSpokenName(Control& control, std::string_view name);

// What assistive technology says after the control's name and its mark,
// before its heading, from now on: what the window has to say of what the
// control shows; an empty text says nothing. Only the page shows it too, as
// the line of its ticket's outcome (FormDefinition.h) where there is room;
// it has an element for that control's alone, and raises
// Sysutils::Exception for any other control.
void setDescription(Control& control, std::string_view text);

// Tells assistive technology what a label is to the target control: its name,
// or a heading that is said after the target's own name (and its mark) and
// never replaces it.
void relateLabel(Control& label, Control& target, LabelRole role);

// Tab order follows the sequence; the first control gets the focus on showing.
void setTabOrder(Window& window, std::span<Control* const> order);

void showWindow(Window& window);
void closeWindow(Window& window);
bool isVisible(const Window& window);

// Delivers events until the window has been closed.
void runUntilClosed(Window& window);

std::string getText(const Control& control);
void setText(Control& control, std::string_view text);

// Shows an edit's mark, one of its form's, or takes it away (nullptr), until
// told otherwise. A mark is more than a colour, stays readable in the
// system's light, dark and high-contrast colours, and changes neither the
// edit's place, size, text nor name: what it says is said after the name,
// before a heading (SpokenName.h).
void setMark(Control& edit, const MarkDefinition* mark);

// The quicker way through the form's ticket that the definition describes
// (Enter from field to field, a grid of numbers to tap, the result brought
// into view), where the platform offers it; the window owns the grid, which
// calls onTap with the number tapped. nullptr where the platform declines:
// a desktop window, whose designed layout has no room for the grid.
NumberGrid* offerNumberGrid(Window& window, const TicketDefinition& ticket, std::function<void(int)> onTap);

// How the grid shows one number: chosen or not, and its mark (one of the
// form's), if any.
struct GridNumber {
    bool chosen = false;
    const MarkDefinition* mark = nullptr;
    friend bool operator==(const GridNumber&, const GridNumber&) = default;
};

// Shows the number as chosen (a pressed toggle) or not, with its mark, as an
// edit shows one; its name is the number it shows, whatever its mark.
void showNumber(NumberGrid& grid, int number, const GridNumber& shown);

// A note by the grid, seen and left for the window's announcements to say;
// an empty one takes the note away.
void showGridNote(NumberGrid& grid, std::string_view note);

// The part of the page that runs the form's long task as the definition
// describes it, where the platform offers one; the window owns it. onStart:
// the start button was pressed, with the index of the choice made; onStop:
// the stop button was pressed; onSlice: so many steps of the task, true once
// it is done. While the task runs, the platform calls onSlice between the
// screen's frames, each frame as many steps as it can spare time for, until
// runTask(false). nullptr where the platform declines: a desktop window,
// whose designed layout has no room for it.
TaskPart* offerTaskPart(Window& window,
                        const TaskDefinition& task,
                        std::function<void(int)> onStart,
                        std::function<void()> onStop,
                        std::function<bool(std::int64_t)> onSlice);

// The task runs (its slices come, the choice and the start button wait, the
// stop button takes the focus from the start button) or not (the other way
// round).
void runTask(TaskPart& part, bool running);

// How far the task is: the share done, 0 to 1, or none where its end is not
// known beforehand (shown as under way); and the text that says it.
void showTaskProgress(TaskPart& part, std::optional<double> share, std::string_view text);

// The text of the table's cell in that row and data column, each from 0.
void showTaskCell(TaskPart& part, int row, int column, std::string_view text);

// A note on how the task ended, shown and said once, politely, without
// moving the focus; an empty one takes the note away.
void showTaskNote(TaskPart& part, std::string_view note);

// Has assistive technology say the text once, politely, as news from the
// window: the focus stays where it is and nothing visible changes. An empty
// text says nothing.
void announce(Window& window, std::string_view text);

// A modal message with one OK button, over the active window. Once it has
// closed, the control that gets the focus back is announced as focused.
void showMessage(std::string_view title, std::string_view message);

}  // namespace Backend
