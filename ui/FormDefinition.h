// The declarative description of a window: its properties and every control
// with name, kind, bounds, caption, tab position and click handler, the
// marks its fields can show, and the parts that a platform may offer beside
// the designed window (a grid for its ticket, a long task). A form is built
// from one of these tables and from nothing else; what every platform reads
// from a table alike (its tab order) is worked out here, once.
#pragma once

#include "MarkLook.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class TForm;

// A click handler: a member function of the form that the table belongs to.
using TNotifyEvent = void (TForm::*)();

// A tap on a number of a grid, or a choice: the form's handler, given the number.
using TNumberEvent = void (TForm::*)(int);

// A slice of a long task: the form's handler, given how many steps to take;
// true once the task is done.
using TSliceEvent = bool (TForm::*)(std::int64_t);

enum class ControlKind {
    Label,
    Edit,  // single line, editable, no length limit
    Button,
    CloseButton,  // closes its window; shows the standard close icon
};

enum class AutoSize { No, Yes };

// What a label is to the control it stands by. A screen reader says a control's
// own name for it; a heading it says beside that name, never instead of it.
enum class LabelRole {
    OwnName,  // the label's text is the control's name
    Heading,  // the heading of the control's column or group, shared with its neighbours
};

struct LabelFor {
    std::string_view control;  // empty: the label stands for itself
    LabelRole role = LabelRole::OwnName;
};

// Logical pixels at 96 dpi; a control's are relative to the window's client area.
struct Bounds {
    int left;
    int top;
    int width;
    int height;
};

constexpr int noTabStop = -1;

struct ControlDefinition {
    std::string_view name;  // empty for a label that the form does not refer to
    ControlKind kind;
    Bounds bounds;
    std::string_view caption;  // UTF-8
    // What a screen reader says for the control, in words a player understands;
    // empty: the caption. Never the programmer's name.
    std::string_view spokenName = {};
    // Labels only: the control the label stands by, and what it is to that control.
    LabelFor labelFor = {};
    int tabOrder = noTabStop;
    AutoSize autoSize = AutoSize::No;  // labels only: size to the text
    TNotifyEvent onClick = nullptr;
};

struct FontDefinition {
    std::string_view family;  // falls back to the system's sans-serif where missing
    int pixelHeight;
};

// The form's ticket, for a platform that offers a quicker way through it than
// the designed window: the page's touch arrangement, where Enter moves from
// field to field and on to the button that plays the ticket, a grid of the
// numbers fills the fields by taps, a play brings the fields with its result
// into view, the numbers drawn look drawn, and the result in words is a line
// of its own. A desktop window, whose every field is in view and typed into,
// offers none of it: its designed layout has no room for a grid.
struct TicketDefinition {
    std::span<const std::string_view> fields;  // edits, in the order they are filled
    std::string_view play;                     // the button that plays the ticket
    std::span<const std::string_view> draw;    // the edits that show the numbers a play draws
    std::string_view bonus;                    // of those, the number drawn besides the others; none: empty
    std::span<const std::string_view> result;  // the other edits that show a play's result
    // Of those, the one whose description (which the window sets, Backend.h)
    // says the result in words, shown as that line; none: empty.
    std::string_view outcome;
    // The grid: its numbers, so many to a row, and what a screen reader calls
    // it. It stands after the last field, in the tab order as well.
    int lowest = 0;
    int highest = 0;
    int perRow = 0;
    std::string_view spokenName;
    TNumberEvent onTap = nullptr;
};

// A mark that the form's edits and the numbers of its ticket's grid can show:
// how it looks, and what a screen reader says of it after the control's name.
struct MarkDefinition {
    MarkLook look;
    std::string_view said;  // UTF-8
};

// A long task that the form runs on the player's word, for a platform that
// offers a part of the page for it beside the designed window: a choice of
// what to run for, a button that starts it and one that stops it, its
// progress with a text of how far it is, a table of texts that it fills as it
// goes, and a note that says how it ended. The task runs in slices between
// the screen's frames, so that the page stays responsive (TTaskPart). A
// desktop window, whose designed layout has no room for it, offers none.
struct TaskDefinition {
    std::string_view name;  // of the part, and of its elements after it
    std::string_view heading;
    std::string_view choice;                    // what the choice is called
    std::span<const std::string_view> choices;  // as offered; the first is the default
    std::string_view start;                     // the buttons' captions
    std::string_view stop;
    std::string_view progress;                  // what the progress is called
    std::string_view table;                     // the table's caption
    std::span<const std::string_view> columns;  // its column headings, the rows' own first
    std::span<const std::string_view> rows;     // each row's heading
    TNumberEvent onStart = nullptr;             // given the choice's index
    TSliceEvent onSlice = nullptr;
    TNotifyEvent onStop = nullptr;  // after the player stopped it, before it was done
};

struct FormDefinition {
    std::string_view name;
    std::string_view caption;
    Bounds bounds;  // the outer frame, on the screen
    FontDefinition font;
    std::span<const ControlDefinition> controls;
    const TicketDefinition* ticket = nullptr;    // none: the form has no ticket
    std::span<const MarkDefinition> marks = {};  // each of another look
    const TaskDefinition* task = nullptr;        // none: the form runs no long task
};

// The controls that are tab stops, as indexes into the table, in the order
// Tab visits them: by tab order, and where two share one, in the table's order.
std::vector<std::size_t> tabStops(std::span<const ControlDefinition> controls);

// Converts a handler of a derived form for the table.
template <class Form>
inline TNotifyEvent handler(void (Form::*method)())
{
    return static_cast<TNotifyEvent>(method);
}

template <class Form>
inline TNumberEvent handler(void (Form::*method)(int))
{
    return static_cast<TNumberEvent>(method);
}

template <class Form>
inline TSliceEvent handler(bool (Form::*method)(std::int64_t))
{
    return static_cast<TSliceEvent>(method);
}
