#include "PageMarkup.h"

#include "SpokenName.h"
#include "Sysutils.h"

#include <algorithm>
#include <string_view>

namespace PageMarkup {
namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

std::string quoted(std::string_view name)
{
    return "\u201E" + std::string(name) + "\u201C";
}

std::size_t indexOf(const FormDefinition& form, std::string_view name)
{
    for (std::size_t k = 0; k < form.controls.size(); ++k) {
        if (form.controls[k].name == name)
            return k;
    }
    throw Sysutils::Exception("Das Fenster " + quoted(form.name) + " hat kein Steuerelement " + quoted(name) + ".");
}

// A control's id is its name. A label without one is named after the control
// it stands by; one that stands by none, after its place among those.
std::vector<std::string> controlIds(const FormDefinition& form)
{
    std::vector<std::string> ids;
    int freeLabels = 0;
    for (const ControlDefinition& control : form.controls) {
        if (!control.name.empty())
            ids.emplace_back(control.name);
        else if (control.labelFor.control.empty())
            ids.push_back(std::string(form.name) + "-text" + std::to_string(++freeLabels));
        else
            ids.push_back(std::string(control.labelFor.control)
                          + (control.labelFor.role == LabelRole::Heading ? "-heading" : "-label"));
    }
    for (std::size_t k = 0; k < ids.size(); ++k) {
        if (std::find(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(k), ids[k]) != ids.begin() + k)
            throw Sysutils::Exception("Das Fenster " + quoted(form.name) + " hat zwei Elemente " + quoted(ids[k])
                                      + ".");
    }
    return ids;
}

// The standard close icon: a cross, drawn by the stylesheet's stroke.
Element closeGlyph()
{
    Element cross{"path", {{"d", "M4 4l8 8M12 4l-8 8"}}, {}, {}};
    return Element{"svg", {{"viewBox", "0 0 16 16"}, {"aria-hidden", "true"}}, {}, {std::move(cross)}};
}

Element controlElement(const ControlDefinition& control, const std::string& id)
{
    Element element;
    element.control = &control;
    Attributes& attributes = element.attributes;
    // A label's text is its name already; every other control carries its
    // name as aria-label, which a label pointing at it does not replace.
    const std::string_view spoken = spokenName(control, control.caption);
    switch (control.kind) {
    case ControlKind::Label:
        element.tag = "label";
        attributes.emplace_back("id", id);
        element.text = control.caption;
        if (spoken != control.caption)
            attributes.emplace_back("aria-label", spoken);
        return element;
    case ControlKind::Edit:
        element.tag = "input";
        attributes = {{"type", "text"},         {"id", id},
                      {"inputmode", "numeric"}, {"autocomplete", "off"},
                      {"spellcheck", "false"},  {"autocapitalize", "off"},
                      {"autocorrect", "off"}};
        if (!control.caption.empty())
            attributes.emplace_back("value", control.caption);
        break;
    case ControlKind::Button:
    case ControlKind::CloseButton:
        element.tag = "button";
        attributes = {{"type", "button"}, {"id", id}};
        if (control.kind == ControlKind::CloseButton)
            element.children.push_back(closeGlyph());
        element.children.push_back(Element{"span", {}, std::string(control.caption), {}});
        break;
    }
    if (!spoken.empty())
        attributes.emplace_back("aria-label", spoken);
    if (control.tabOrder == noTabStop)
        attributes.emplace_back("tabindex", "-1");
    return element;
}

// Adds the relations: a label that is its control's name is the control's
// <label>. A heading is not: a <label> makes a labelled-by relation, which
// some screen readers say instead of the control's aria-label; the heading
// describes the control instead, and is said after its name.
void relate(const FormDefinition& form, const std::vector<std::string>& ids, std::vector<Element>& elements)
{
    for (std::size_t k = 0; k < form.controls.size(); ++k) {
        const LabelFor& labelFor = form.controls[k].labelFor;
        if (labelFor.control.empty())
            continue;
        const std::size_t target = indexOf(form, labelFor.control);
        if (labelFor.role == LabelRole::Heading)
            elements[target].attributes.emplace_back("aria-describedby", ids[k]);
        else
            elements[k].attributes.emplace_back("for", ids[target]);
    }
}

void escapeInto(std::string& out, std::string_view text, bool attribute)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += c;
        }
    }
}

std::string cssString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

bool isVoid(std::string_view tag)
{
    return tag == "input";
}

std::string pixels(int value)
{
    return std::to_string(value) + "px";
}

}  // namespace

std::string_view Element::attribute(std::string_view name) const
{
    for (const auto& [key, value] : attributes) {
        if (key == name)
            return value;
    }
    return {};
}

std::string formId(const FormDefinition& form)
{
    return std::string(form.name);
}

std::string voiceId(const FormDefinition& form)
{
    return std::string(form.name) + "-voice";
}

Element page(const FormDefinition& form)
{
    const std::vector<std::string> ids = controlIds(form);
    std::vector<Element> elements;
    for (std::size_t k = 0; k < form.controls.size(); ++k)
        elements.push_back(controlElement(form.controls[k], ids[k]));
    relate(form, ids, elements);

    // The page's order is the tab order too: the order a screen reader reads in.
    std::vector<std::size_t> order(form.controls.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    const auto place = [&](std::size_t k) {
        return std::pair(form.controls[k].tabOrder != noTabStop, form.controls[k].tabOrder);
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return place(a) < place(b); });
    Element box{"div", {{"class", "form"}, {"id", formId(form)}}, {}, {}};
    for (const std::size_t k : order)
        box.children.push_back(std::move(elements[k]));

    // One polite status element beside the form, never shown: one sentence
    // read after the command, rather than each field that changed.
    Element voice{"p", {{"class", "unseen"}, {"id", voiceId(form)}, {"role", "status"}}, {}, {}};
    return Element{"div", {{"class", "frame"}}, {}, {std::move(box), std::move(voice)}};
}

const Element& controlElement(const Element& page, const ControlDefinition& control)
{
    for (const Element& box : page.children) {
        for (const Element& element : box.children) {
            if (element.control == &control)
                return element;
        }
    }
    throw Sysutils::Exception("Das Steuerelement " + quoted(control.name) + " hat kein Element auf der Seite.");
}

std::string html(const Element& element)
{
    std::string out = "<" + element.tag;
    for (const auto& [name, value] : element.attributes) {
        out += " " + name + "=\"";
        escapeInto(out, value, true);
        out += "\"";
    }
    out += ">";
    if (isVoid(element.tag))
        return out;
    escapeInto(out, element.text, false);
    for (const Element& child : element.children)
        out += html(child);
    return out + "</" + element.tag + ">";
}

std::string places(const FormDefinition& form)
{
    const std::vector<std::string> ids = controlIds(form);
    std::string css = "#" + formId(form) + " { --form-width: " + pixels(form.bounds.width) + "; --form-height: "
                      + pixels(form.bounds.height) + "; --designed-family: " + cssString(form.font.family)
                      + "; --designed-size: " + pixels(form.font.pixelHeight) + "; }\n";
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const ControlDefinition& control = form.controls[k];
        const Bounds& bounds = control.bounds;
        css += "#" + ids[k] + " { --left: " + pixels(bounds.left) + "; --top: " + pixels(bounds.top) + ";";
        if (control.autoSize == AutoSize::No)
            css += " --width: " + pixels(bounds.width) + "; --height: " + pixels(bounds.height) + ";";
        css += " }\n";
    }
    return css;
}

std::string touchQuery(const FormDefinition& form)
{
    // Narrower than the form by any fraction of a pixel, as a zoomed page can be.
    return "(pointer: coarse), (max-width: " + std::to_string(form.bounds.width - 1) + ".98px)";
}

std::string designedFaceQuery(const FormDefinition& form)
{
    return "(resolution: 1dppx) and (min-width: " + pixels(form.bounds.width) + ")";
}

}  // namespace PageMarkup
