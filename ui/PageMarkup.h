// How a form becomes the page's elements: the tag, id, classes, attributes and
// text of each, the relations between labels and controls, and the order,
// which is the tab order. Decided here alone, from the form's table and
// nothing else: the build writes the markup into index.html and each
// control's places into the stylesheet, and the running program takes the
// same description to find the element that stands for each control and to
// check it; page.js reads what it needs from it and decides none of it again.
// The build writes a picture of the form for the tests as well. Free of the
// browser, built on every platform: it only describes.
#pragma once

#include "FormDefinition.h"

#include <array>
#include <forward_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace PageMarkup {

struct Attribute {
    std::string_view name;
    std::string_view value;
};

struct Element {
    std::string_view tag;
    std::vector<Attribute> attributes;  // in the order they are written
    std::string_view text;              // before the children
    std::vector<Element> children;
    const ControlDefinition* control = nullptr;  // the control that this element stands for, if any

    std::string_view attribute(std::string_view name) const;
};

// The form as the page holds it: a frame, which names the media query of the
// touch layout, with the form's box, whose children are the controls in tab
// order (the elements without a tab stop first, in the table's order),
// beside it a hidden element for each of the form's marks, which says the
// mark for the elements it describes, and the form's unseen status element
// last. Each control's id is its name;
// a label without one is named after the control it stands by, or after the
// first words of its text, never after its place in the table; two elements
// of one id are refused. Where the form has a ticket, its controls carry the
// class of their part: "ticket" (its fields, whose keys say "next"), "play",
// "draw" (and "bonus" for the number drawn besides the others) and "result";
// the grid of its numbers follows the last of its fields: a group of toggle
// buttons, each with its number as value and text, of which only the first
// is a tab stop (the page moves among them by the arrow keys), and an empty
// note after them; and the line of the outcome, an empty "outcome" that the
// window's description of that field fills, follows the field. A button's
// text is its "caption" child. Where the form runs a long task, its part is
// described apart, for the running program to put after the form's box,
// outside the window, once the platform offers it (the part works only with
// the program, and the page's first bytes stay the form's): a section headed
// by the task's name, with the choice of what to run for, the start and the
// stop button (closed until the task runs), the progress with the text that
// says how far it is, a table of texts with its column and row headings, and
// a status element for the note on how the task ended; each id the task's
// name with its role after it, which no control of the form may have. Its
// texts are the table's, and ids and numbers made here, which it keeps.
class Page {
public:
    explicit Page(const FormDefinition& form);
    ~Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    const Element& frame() const { return m_frame; }
    const Element& box() const { return m_frame.children.front(); }
    // Raises Sysutils::Exception where the control is not the form's.
    const Element& control(const ControlDefinition& control) const;
    // The ticket's grid; nullptr where the form has no ticket.
    const Element* grid() const;
    // The part that runs the form's long task, not among the frame's
    // children; nullptr where the form runs none.
    const Element* task() const { return m_taskId.empty() ? nullptr : &m_task; }
    // The id of the element that says the mark, one of the form's (its look
    // names it); empty for a look that the form has no mark of.
    std::string_view markId(const MarkDefinition& mark) const;
    // The id of the element that says what the window says of the control,
    // the line of the ticket's outcome; empty for any other control.
    std::string_view descriptionId(const ControlDefinition& control) const;

private:
    std::string_view keep(std::string text);
    Element gridElement(const FormDefinition& form, const TicketDefinition& ticket);
    Element taskElement(const TaskDefinition& task);

    std::forward_list<std::string> m_texts;   // made ids and texts, which m_frame refers to; they stay put
    std::string_view m_gridId;                // empty: no grid
    std::string_view m_taskId;                // empty: no long task
    std::vector<std::string_view> m_taskIds;  // the part's and its elements'
    Element m_task;
    // The ticket's outcome, if any, and the id of the line that says its description.
    const ControlDefinition* m_described = nullptr;
    std::string_view m_descriptionId;
    std::array<std::string_view, std::size(markLooks) + 1> m_markIds;  // by look
    Element m_frame;
};

// A mark's look as the page names it, in the attribute data-mark of a marked
// element, which is also the line style of its frame; empty for none.
std::string_view lookName(MarkLook look);

// How each look of a mark is drawn, as custom properties of a marked element
// (MarkLook.h): its ground, frame and text on light fields and on dark ones,
// and its frame's thickness and line style; lotto.css and touch.css draw
// marks with them.
std::string markStyles();

// The element as HTML, its texts and attribute values escaped.
std::string html(const Element& element);

// The name that a control's element carries as aria-label, given what the
// control shows: none (empty) for a label whose text says its name already.
std::string_view ariaLabel(const ControlDefinition& control, std::string_view spokenName, std::string_view shownText);

// The places of the form's elements, for lotto.css: the designed places and
// sizes as custom properties, one rule for the form (with its designed face)
// and one for each control; and the numbers to a row of the ticket's grid.
// Each control, the grid and the outcome's line go in the touch layout's area
// of their id's name.
std::string places(const FormDefinition& form);

// The media query under which the form shows in its touch layout: a coarse
// primary pointer, or a page narrower than the form.
std::string touchQuery(const FormDefinition& form);

// The media query of a screen that shows the designed layout in the designed
// face: one device pixel to the form's pixel, and room for the form.
std::string designedFaceQuery(const FormDefinition& form);

// The form as the tests expect to meet it, as JSON: its name, caption and
// frame; each control in the page's order (which is the tab order) with its
// name, id, kind, part of the ticket, caption, spoken name, designed bounds,
// tab order and what a label stands by; the ticket with its grid and its
// outcome's line; and the long task's part with its texts.
std::string picture(const FormDefinition& form);

}  // namespace PageMarkup
