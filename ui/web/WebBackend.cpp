// The toolkit layer's backend in the browser: the program runs as WebAssembly
// (or as the same program built as JavaScript) and every control is the page's
// own element (button, input, label), as are the ticket's grid of numbers,
// which the page shows in its touch layout, and the part of a long task below
// the form, whose slices run between the page's frames. The elements are in the page
// before the program runs; it adopts them through page.js, each by its
// description in PageMarkup.h, and fails where the page differs from it. The
// form's face is chosen in PageFaces.cpp. Only this folder knows the browser.
//
// A browser delivers events only while no script runs, so the event loop
// cannot block as on the desktop. runUntilClosed waits in page.js instead, and
// the build lets it suspend through Asyncify: main's stack is saved, the
// browser runs, clicks call back into the program, and once the window has
// closed main resumes where it waited and returns its own exit code.
#include "Backend.h"
#include "PageFaces.h"
#include "PageMarkup.h"
#include "SpokenName.h"
#include "Sysutils.h"

#include <emscripten.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Texts cross into page.js as UTF-8 bytes with their length.
using Text = const char*;

}  // namespace

// Implemented in page.js. Every element is known there by a number.
extern "C" {
int lotto_adoptWindow(Text markup, std::size_t markupLength, void* target);
int lotto_adoptControl(int window, Text id, std::size_t idLength, void* target);
void lotto_setSpokenName(int control, Text name, std::size_t length);
void lotto_announce(int window, Text text, std::size_t length);
bool lotto_setTabOrder(int window, const int* controls, std::size_t count);
void lotto_showWindow(int window);
void lotto_closeWindow(int window);
void lotto_waitUntilClosed(int window);  // suspends the program: the event loop
std::size_t lotto_textLength(int control);
void lotto_copyText(int control, char* buffer, std::size_t size);
void lotto_setText(int control, Text text, std::size_t length);
void lotto_setMark(int control, Text look, std::size_t lookLength, Text describedBy, std::size_t describedByLength);
int lotto_adoptDescription(int window, Text id, std::size_t idLength);
void lotto_setDescription(int control,
                          int description,
                          Text text,
                          std::size_t length,
                          Text describedBy,
                          std::size_t describedByLength);
int lotto_adoptNumberGrid(int window, Text id, std::size_t idLength, void* target);
void lotto_showNumber(int grid,
                      int number,
                      bool chosen,
                      Text look,
                      std::size_t lookLength,
                      Text describedBy,
                      std::size_t describedByLength);
void lotto_showNumberGridNote(int grid, Text note, std::size_t length);
int lotto_makeTaskPart(int window, Text markup, std::size_t markupLength, void* target);
void lotto_runTask(int part, bool running);
void lotto_showTaskProgress(int part, double share, Text text, std::size_t length);  // share below 0: unknown
void lotto_showTaskCell(int part, int row, int column, Text text, std::size_t length);
void lotto_showTaskNote(int part, Text note, std::size_t length);
void lotto_showMessage(Text title, std::size_t titleLength, Text message, std::size_t messageLength);
}

namespace Backend {

struct Control {
    int element = 0;
    const ControlDefinition* definition = nullptr;
    std::function<void()> onClick;
    std::function<void()> onEdited;
    const PageMarkup::Page* page = nullptr;  // its window's
    std::string_view heading;                // the id of the element that heads it, if any
    int description = 0;                     // the element that says the window's description, if any
    bool described = false;                  // and says one now
    const MarkDefinition* mark = nullptr;
};

struct NumberGrid {
    int element = 0;
    std::function<void(int)> onTap;
    const PageMarkup::Page* page = nullptr;  // its window's
};

struct TaskPart {
    int element = 0;
    std::function<void(int)> onStart;
    std::function<void()> onStop;
    std::function<bool(std::int64_t)> onSlice;
};

struct Window {
    int element = 0;
    std::unique_ptr<PageMarkup::Page> page;  // what the program expects of the page
    std::unique_ptr<PageFaces> faces;
    bool shown = false;
    bool closed = false;
    std::vector<std::unique_ptr<Control>> controls;
    std::unique_ptr<NumberGrid> grid;
    std::unique_ptr<TaskPart> task;
};

namespace {

bool running = false;

}  // namespace

// The page has been loaded when the program starts: nothing can fail here.
void start(std::string_view)
{
    running = true;
}

bool started()
{
    return running;
}

// The program is a part of the page, not a file of its own.
std::string executableName()
{
    return {};
}

void WindowDeleter::operator()(Window* window) const noexcept
{
    delete window;
}

namespace {

[[noreturn]] void pageDiffers(std::string_view element)
{
    throw Sysutils::Exception("Die Seite passt nicht zum Programm: Das Element \u201E" + std::string(element)
                              + "\u201C fehlt oder ist anders.");
}

}  // namespace

WindowPtr createWindow(const FormDefinition& definition)
{
    WindowPtr window(new Window);
    window->page = std::make_unique<PageMarkup::Page>(definition);
    // The whole description at once: the page reads it in one go, not one
    // control at a time, which on a slow phone holds up the start.
    const std::string markup = PageMarkup::html(window->page->frame());
    window->element = lotto_adoptWindow(markup.data(), markup.size(), window.get());
    if (window->element == 0)
        pageDiffers(window->page->box().attribute("id"));
    window->faces = std::make_unique<PageFaces>(window->element, definition);
    return window;
}

Control& createControl(Window& window,
                       const ControlDefinition& definition,
                       std::function<void()> onClick,
                       std::function<void()> onEdited)
{
    auto control = std::make_unique<Control>();
    control->definition = &definition;
    control->onClick = std::move(onClick);
    control->onEdited = std::move(onEdited);
    control->page = window.page.get();
    const PageMarkup::Element& described = window.page->control(definition);
    control->heading = described.attribute("aria-describedby");
    const std::string_view id = described.attribute("id");
    control->element = lotto_adoptControl(window.element, id.data(), id.size(), control.get());
    if (control->element == 0)
        pageDiffers(id);
    if (const std::string_view line = window.page->descriptionId(definition); !line.empty()) {
        control->description = lotto_adoptDescription(window.element, line.data(), line.size());
        if (control->description == 0)
            pageDiffers(line);
    }
    window.controls.push_back(std::move(control));
    return *window.controls.back();
}

void setSpokenName(Control& control, std::string_view name)
{
    // Only a label's text can be its name (PageMarkup.h).
    const std::string shown = control.definition->kind == ControlKind::Label ? getText(control) : std::string();
    const std::string_view label = PageMarkup::ariaLabel(*control.definition, name, shown);
    lotto_setSpokenName(control.element, label.data(), label.size());
}

// The page's markup carries the relation already, which adopting the
// elements has checked.
void relateLabel(Control&, Control&, LabelRole) {}

void setTabOrder(Window& window, std::span<Control* const> order)
{
    std::vector<int> elements;
    elements.reserve(order.size());
    for (const Control* control : order)
        elements.push_back(control->element);
    if (!lotto_setTabOrder(window.element, elements.data(), elements.size()))
        throw Sysutils::Exception(
            "Die Seite passt nicht zum Programm: Die Elemente stehen nicht in der Tab-Reihenfolge.");
}

void showWindow(Window& window)
{
    window.shown = true;
    window.closed = false;
    lotto_showWindow(window.element);
    window.faces->choose();
}

void closeWindow(Window& window)
{
    if (!window.shown || window.closed)
        return;
    window.closed = true;
    lotto_closeWindow(window.element);
}

bool isVisible(const Window& window)
{
    return window.shown && !window.closed;
}

void runUntilClosed(Window& window)
{
    while (isVisible(window))
        lotto_waitUntilClosed(window.element);
}

std::string getText(const Control& control)
{
    std::string text(lotto_textLength(control.element), '\0');
    lotto_copyText(control.element, text.data(), text.size());
    return text;
}

void setText(Control& control, std::string_view text)
{
    lotto_setText(control.element, text.data(), text.size());
}

namespace {

// The ids of what is said after the element's name: the mark's element, the
// description's, then the heading's.
std::string describedBy(const Control& control)
{
    return spokenDescription(control.mark ? control.page->markId(*control.mark) : "",
                             control.described ? control.page->descriptionId(*control.definition) : "", control.heading,
                             " ");
}

}  // namespace

void setMark(Control& edit, const MarkDefinition* mark)
{
    edit.mark = mark;
    const std::string_view look = PageMarkup::lookName(mark ? mark->look : MarkLook::None);
    const std::string ids = describedBy(edit);
    lotto_setMark(edit.element, look.data(), look.size(), ids.data(), ids.size());
}

// Said by the element that the page has for it, which the touch arrangement
// shows as the line of the ticket's outcome.
void setDescription(Control& control, std::string_view text)
{
    if (control.description == 0)
        throw Sysutils::Exception("Die Seite hat keinen Platz für eine Beschreibung von \u201E"
                                  + std::string(control.definition->name) + "\u201C.");
    control.described = !text.empty();
    const std::string ids = describedBy(control);
    lotto_setDescription(control.element, control.description, text.data(), text.size(), ids.data(), ids.size());
}

// The page shows the grid in its touch arrangement alone, and takes Enter
// through the ticket there, whose parts it knows by their classes in the
// markup; the program need not know which arrangement shows.
NumberGrid* offerNumberGrid(Window& window, const TicketDefinition&, std::function<void(int)> onTap)
{
    const PageMarkup::Element* element = window.page->grid();
    if (!element)
        return nullptr;
    const std::string_view id = element->attribute("id");
    auto grid = std::make_unique<NumberGrid>();
    grid->onTap = std::move(onTap);
    grid->page = window.page.get();
    grid->element = lotto_adoptNumberGrid(window.element, id.data(), id.size(), grid.get());
    if (grid->element == 0)
        pageDiffers(id);
    window.grid = std::move(grid);
    return window.grid.get();
}

void showNumber(NumberGrid& grid, int number, const GridNumber& shown)
{
    const std::string_view look = PageMarkup::lookName(shown.mark ? shown.mark->look : MarkLook::None);
    const std::string_view describedBy = shown.mark ? grid.page->markId(*shown.mark) : "";
    lotto_showNumber(grid.element, number, shown.chosen, look.data(), look.size(), describedBy.data(),
                     describedBy.size());
}

void showGridNote(NumberGrid& grid, std::string_view note)
{
    lotto_showNumberGridNote(grid.element, note.data(), note.size());
}

// The part below the form, in both arrangements, made from its description
// now that it works; page.js runs its slices between the page's frames.
TaskPart* offerTaskPart(Window& window,
                        const TaskDefinition&,
                        std::function<void(int)> onStart,
                        std::function<void()> onStop,
                        std::function<bool(std::int64_t)> onSlice)
{
    const PageMarkup::Element* element = window.page->task();
    if (!element)
        return nullptr;
    const std::string markup = PageMarkup::html(*element);
    auto part = std::make_unique<TaskPart>();
    part->onStart = std::move(onStart);
    part->onStop = std::move(onStop);
    part->onSlice = std::move(onSlice);
    part->element = lotto_makeTaskPart(window.element, markup.data(), markup.size(), part.get());
    if (part->element == 0)
        pageDiffers(element->attribute("id"));
    window.task = std::move(part);
    return window.task.get();
}

void runTask(TaskPart& part, bool running)
{
    lotto_runTask(part.element, running);
}

void showTaskProgress(TaskPart& part, std::optional<double> share, std::string_view text)
{
    lotto_showTaskProgress(part.element, share.value_or(-1), text.data(), text.size());
}

void showTaskCell(TaskPart& part, int row, int column, std::string_view text)
{
    lotto_showTaskCell(part.element, row, column, text.data(), text.size());
}

void showTaskNote(TaskPart& part, std::string_view note)
{
    lotto_showTaskNote(part.element, note.data(), note.size());
}

void announce(Window& window, std::string_view text)
{
    if (!text.empty())
        lotto_announce(window.element, text.data(), text.size());
}

// The message is modal through the page: the dialog makes the rest of the page
// inert until it is closed. Nothing waits for it here; the handler that failed
// has already ended, as it has on the desktop once the message is shown.
void showMessage(std::string_view title, std::string_view message)
{
    lotto_showMessage(title.data(), title.size(), message.data(), message.size());
}

}  // namespace Backend

// A click on a control's element, from page.js. The toolkit's dispatch behind
// onClick shows whatever a handler throws, so nothing escapes into the page.
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_click(Backend::Control* control) noexcept
{
    if (control && control->onClick)
        control->onClick();
}

// The player changed an edit's text (an input event, from page.js).
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_edited(Backend::Control* control) noexcept
{
    if (control && control->onEdited)
        control->onEdited();
}

// A tap on a number of the ticket's grid (page.js).
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_numberGridTap(Backend::NumberGrid* grid, int number) noexcept
{
    if (grid && grid->onTap)
        grid->onTap(number);
}

// The task part's start button, with the index of the choice made (page.js).
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_taskStart(Backend::TaskPart* part, int choice) noexcept
{
    if (part && part->onStart)
        part->onStart(choice);
}

// Its stop button (page.js).
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_taskStop(Backend::TaskPart* part) noexcept
{
    if (part && part->onStop)
        part->onStop();
}

// A slice of the task while it runs, of so many steps (page.js, whose
// numbers are doubles); true once it is done, or where it cannot go on.
extern "C" EMSCRIPTEN_KEEPALIVE bool lotto_taskSlice(Backend::TaskPart* part, double steps) noexcept
{
    if (!part || !part->onSlice || !(steps >= 1))
        return true;
    return part->onSlice(static_cast<std::int64_t>(steps));
}

// The page laid the form out again (layout.js).
extern "C" EMSCRIPTEN_KEEPALIVE void lotto_screenChanged(Backend::Window* window) noexcept
{
    if (window && window->shown && !window->closed)
        window->faces->screenChanged();
}
