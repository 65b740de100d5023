// How a form becomes the page's elements: the tag, id, attributes and text of
// each, the relations between labels and controls, and the order, which is
// the tab order. Decided here alone, from the form's table and nothing else:
// the build writes the markup into index.html and the designed places into
// the stylesheet, and the running program takes the same description to find
// the element that stands for each control and to check it. Free of the
// browser: it only describes; page.js adopts.
#pragma once

#include "FormDefinition.h"

#include <string>
#include <utility>
#include <vector>

namespace PageMarkup {

struct Element {
    std::string tag;
    std::vector<std::pair<std::string, std::string>> attributes;  // in the order they are written
    std::string text;                                             // before the children
    std::vector<Element> children;
    const ControlDefinition* control = nullptr;  // the control that this element stands for, if any

    std::string_view attribute(std::string_view name) const;
};

// The form as the page holds it: a frame with the form's box, whose children
// are the controls in tab order (the elements without a tab stop first, in the
// table's order), and the form's unseen status element beside it.
Element page(const FormDefinition& form);

// The element of the form's box, of its unseen status element, and of a control.
std::string formId(const FormDefinition& form);
std::string voiceId(const FormDefinition& form);
const Element& controlElement(const Element& page, const ControlDefinition& control);

// The element as HTML, its texts and attribute values escaped.
std::string html(const Element& element);

// The designed places and sizes as custom properties, one rule for the form
// (with its designed face) and one for each control; lotto.css lays the
// designed layout out with them.
std::string places(const FormDefinition& form);

// The media query under which the form shows in its touch layout: a coarse
// primary pointer, or a page narrower than the form.
std::string touchQuery(const FormDefinition& form);

// The media query of a screen that shows the designed layout in the designed
// face: one device pixel to the form's pixel, and room for the form.
std::string designedFaceQuery(const FormDefinition& form);

}  // namespace PageMarkup
