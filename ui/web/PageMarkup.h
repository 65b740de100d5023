// How a form becomes the page's elements: the tag, id, attributes and text of
// each, the relations between labels and controls, and the order, which is
// the tab order. Decided here alone, from the form's table and nothing else:
// the build writes the markup into index.html and the designed places into
// the stylesheet, and the running program takes the same description to find
// the element that stands for each control and to check it. Free of the
// browser: it only describes; page.js adopts.
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

// The form as the page holds it: a frame with the form's box, whose children
// are the controls in tab order (the elements without a tab stop first, in the
// table's order), beside it a hidden element for each of the form's marks,
// which says the mark for the elements it describes, and the form's unseen
// status element last. Where the
// form has a ticket, its fields' keys say "next", and the grid of its numbers
// follows its last field: a group of toggle buttons, named by their numbers,
// of which only the first is a tab stop (the page moves among them by the
// arrow keys), and an empty note after them. Its texts are the table's, and
// ids and numbers made here, which it keeps.
class Page {
public:
    explicit Page(const FormDefinition& form);
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    const Element& frame() const { return m_frame; }
    const Element& box() const { return m_frame.children.front(); }
    const Element& voice() const { return m_frame.children.back(); }
    // Raises Sysutils::Exception where the control is not the form's.
    const Element& control(const ControlDefinition& control) const;
    // The ticket's grid; nullptr where the form has no ticket.
    const Element* grid() const;
    // The ids of the ticket's elements, each after a space: its fields in
    // order, the button that plays it, the fields of its result.
    struct TicketIds {
        std::string_view fields;
        std::string_view play;
        std::string_view result;
    };
    const TicketIds& ticketIds() const { return m_ticketIds; }
    // The id of the element that says the mark, one of the form's (its look
    // names it); empty for a look that the form has no mark of.
    std::string_view markId(const MarkDefinition& mark) const;

private:
    std::string_view keep(std::string text);
    Element gridElement(const FormDefinition& form, const TicketDefinition& ticket);

    std::forward_list<std::string> m_texts;  // made ids and texts, which m_frame refers to; they stay put
    std::string_view m_gridId;               // empty: no grid
    TicketIds m_ticketIds;
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

// The designed places and sizes as custom properties, one rule for the form
// (with its designed face) and one for each control, and the numbers to a row
// of the ticket's grid; lotto.css lays the form out with them.
std::string places(const FormDefinition& form);

// The media query under which the form shows in its touch layout: a coarse
// primary pointer, or a page narrower than the form.
std::string touchQuery(const FormDefinition& form);

// The media query of a screen that shows the designed layout in the designed
// face: one device pixel to the form's pixel, and room for the form.
std::string designedFaceQuery(const FormDefinition& form);

}  // namespace PageMarkup
