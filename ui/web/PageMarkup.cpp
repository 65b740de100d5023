#include "PageMarkup.h"

#include "SpokenName.h"
#include "Sysutils.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace PageMarkup {
namespace {

// The grid's id: the form's, with this after it.
constexpr std::string_view gridSuffix = "-numbers";

std::string quoted(std::string_view name)
{
    return "\u201E" + std::string(name) + "\u201C";
}

[[noreturn]] void twoElements(const FormDefinition& form, std::string_view id)
{
    throw Sysutils::Exception("Das Fenster " + quoted(form.name) + " hat zwei Elemente " + quoted(id) + ".");
}

// A control's id is its name. A label without one is named after the control
// it stands by; one that stands by none, after its place among those.
std::string madeId(const FormDefinition& form, const ControlDefinition& control, int& freeLabels)
{
    if (control.labelFor.control.empty())
        return std::string(form.name) + "-text" + std::to_string(++freeLabels);
    return std::string(control.labelFor.control)
           + (control.labelFor.role == LabelRole::Heading ? "-heading" : "-label");
}

// The standard close icon: a cross, drawn by the stylesheet's stroke.
Element closeGlyph()
{
    Element glyph{"svg", {{"viewBox", "0 0 16 16"}, {"aria-hidden", "true"}}, {}, {}};
    glyph.children.push_back(Element{"path", {{"d", "M4 4l8 8M12 4l-8 8"}}, {}, {}});
    return glyph;
}

// A field for numbers, which the browser neither corrects nor completes.
constexpr Attribute fieldAttributes[] = {{"inputmode", "numeric"},
                                         {"autocomplete", "off"},
                                         {"spellcheck", "false"},
                                         {"autocapitalize", "off"},
                                         {"autocorrect", "off"}};

Element controlElement(const ControlDefinition& control, std::string_view id)
{
    Element element;
    element.control = &control;
    std::vector<Attribute>& attributes = element.attributes;
    // A label's text is its name already; every other control carries its
    // name as aria-label, which a label pointing at it does not replace.
    const std::string_view spoken = spokenName(control, control.caption);
    switch (control.kind) {
    case ControlKind::Label:
        element.tag = "label";
        attributes.push_back({"id", id});
        element.text = control.caption;
        if (spoken != control.caption)
            attributes.push_back({"aria-label", spoken});
        return element;
    case ControlKind::Edit:
        element.tag = "input";
        attributes.push_back({"type", "text"});
        attributes.push_back({"id", id});
        attributes.insert(attributes.end(), std::begin(fieldAttributes), std::end(fieldAttributes));
        if (!control.caption.empty())
            attributes.push_back({"value", control.caption});
        break;
    case ControlKind::Button:
    case ControlKind::CloseButton:
        element.tag = "button";
        attributes.push_back({"type", "button"});
        attributes.push_back({"id", id});
        if (control.kind == ControlKind::CloseButton)
            element.children.push_back(closeGlyph());
        element.children.push_back(Element{"span", {}, control.caption, {}});
        break;
    }
    if (!spoken.empty())
        attributes.push_back({"aria-label", spoken});
    if (control.tabOrder == noTabStop)
        attributes.push_back({"tabindex", "-1"});
    return element;
}

std::size_t indexOf(const FormDefinition& form, std::string_view name)
{
    for (std::size_t k = 0; k < form.controls.size(); ++k) {
        if (form.controls[k].name == name)
            return k;
    }
    throw Sysutils::Exception("Das Fenster " + quoted(form.name) + " hat kein Steuerelement " + quoted(name) + ".");
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

void writeInto(std::string& out, const Element& element)
{
    out += '<';
    out += element.tag;
    for (const Attribute& attribute : element.attributes) {
        out += ' ';
        out += attribute.name;
        out += "=\"";
        escapeInto(out, attribute.value, true);
        out += '"';
    }
    out += '>';
    if (isVoid(element.tag))
        return;
    escapeInto(out, element.text, false);
    for (const Element& child : element.children)
        writeInto(out, child);
    out += "</";
    out += element.tag;
    out += '>';
}

std::string pixels(int value)
{
    return std::to_string(value) + "px";
}

std::string cssColour(std::uint32_t rgb)
{
    std::array<char, 8> hex{};
    (void)std::snprintf(hex.data(), hex.size(), "#%06x", static_cast<unsigned>(rgb & 0xffffffU));
    return hex.data();
}

}  // namespace

std::string_view Element::attribute(std::string_view name) const
{
    for (const Attribute& attribute : attributes) {
        if (attribute.name == name)
            return attribute.value;
    }
    return {};
}

std::string_view Page::keep(std::string text)
{
    return m_texts.emplace_front(std::move(text));
}

Page::Page(const FormDefinition& form)
{
    const std::size_t count = form.controls.size();
    std::vector<std::string_view> ids;
    int freeLabels = 0;
    for (const ControlDefinition& control : form.controls) {
        ids.push_back(control.name.empty() ? keep(madeId(form, control, freeLabels)) : control.name);
        if (std::find(ids.begin(), ids.end() - 1, ids.back()) != ids.end() - 1)
            twoElements(form, ids.back());
    }
    std::vector<Element> elements;
    for (std::size_t k = 0; k < count; ++k)
        elements.push_back(controlElement(form.controls[k], ids[k]));

    // A label that is its control's name is the control's <label>. A heading
    // is not: a <label> makes a labelled-by relation, which some screen
    // readers say instead of the control's aria-label; the heading describes
    // the control instead, and is said after its name.
    for (std::size_t k = 0; k < count; ++k) {
        const LabelFor& labelFor = form.controls[k].labelFor;
        if (labelFor.control.empty())
            continue;
        const std::size_t target = indexOf(form, labelFor.control);
        if (labelFor.role == LabelRole::Heading)
            elements[target].attributes.push_back({"aria-describedby", ids[k]});
        else
            elements[k].attributes.push_back({"for", ids[target]});
    }

    // The page's order is the tab order too: the order a screen reader reads
    // in. Those without a tab stop first, in the table's order.
    std::vector<std::size_t> order;
    for (std::size_t k = 0; k < count; ++k) {
        const int stop = form.controls[k].tabOrder;
        auto at = order.end();
        while (stop != noTabStop && at != order.begin() && form.controls[*(at - 1)].tabOrder > stop)
            --at;
        order.insert(at, k);
    }
    if (const TicketDefinition* ticket = form.ticket) {
        for (const std::string_view field : ticket->fields)
            elements[indexOf(form, field)].attributes.push_back({"enterkeyhint", "next"});
        const auto idList = [&](std::span<const std::string_view> names) {
            std::string list;
            for (const std::string_view name : names)
                list.append(list.empty() ? "" : " ").append(ids[indexOf(form, name)]);
            return keep(std::move(list));
        };
        m_ticketIds = {idList(ticket->fields), idList({&ticket->play, 1}), idList(ticket->result)};
    }
    Element box{"div", {{"class", "form"}, {"id", form.name}}, {}, {}};
    for (const std::size_t k : order) {
        box.children.push_back(std::move(elements[k]));
        if (form.ticket && !form.ticket->fields.empty() && form.controls[k].name == form.ticket->fields.back())
            box.children.push_back(gridElement(form, *form.ticket));
    }

    m_frame = Element{"div", {{"class", "frame"}}, {}, {}};
    m_frame.children.push_back(std::move(box));

    // What a mark says is the description of the elements that show it,
    // beside their headings; hidden, it is not read as text of the page.
    for (const MarkDefinition& mark : form.marks) {
        std::string_view& id = m_markIds[static_cast<std::size_t>(mark.look)];
        if (!id.empty())
            twoElements(form, id);
        id = keep(std::string(form.name).append("-mark-").append(lookName(mark.look)));
        m_frame.children.push_back(Element{"p", {{"id", id}, {"hidden", ""}}, mark.said, {}});
    }

    // One polite status element beside the form, never shown: one sentence
    // read after the command, rather than each field that changed.
    const std::string_view voice = keep(std::string(form.name) + "-voice");
    m_frame.children.push_back(Element{"p", {{"class", "unseen"}, {"id", voice}, {"role", "status"}}, {}, {}});
}

std::string_view Page::markId(const MarkDefinition& mark) const
{
    return m_markIds[static_cast<std::size_t>(mark.look)];
}

std::string_view lookName(MarkLook look)
{
    switch (look) {
    case MarkLook::None:
        break;
    case MarkLook::Solid:
        return "solid";
    case MarkLook::Dashed:
        return "dashed";
    }
    return {};
}

// The numbers as toggle buttons, named by their texts; the one tab stop is
// the first, which the page moves as the focus moves among them.
Element Page::gridElement(const FormDefinition& form, const TicketDefinition& ticket)
{
    Element grid{"div",
                 {{"class", "numbers"},
                  {"id", m_gridId = keep(std::string(form.name).append(gridSuffix))},
                  {"role", "group"},
                  {"aria-label", ticket.spokenName}},
                 {},
                 {}};
    for (int number = ticket.lowest; number <= ticket.highest; ++number) {
        Element button{"button", {{"type", "button"}, {"aria-pressed", "false"}}, keep(std::to_string(number)), {}};
        if (number != ticket.lowest)
            button.attributes.push_back({"tabindex", "-1"});
        grid.children.push_back(std::move(button));
    }
    grid.children.push_back(Element{"p", {{"class", "note"}}, {}, {}});
    return grid;
}

const Element* Page::grid() const
{
    for (const Element& element : box().children) {
        if (!m_gridId.empty() && element.attribute("id") == m_gridId)
            return &element;
    }
    return nullptr;
}

const Element& Page::control(const ControlDefinition& control) const
{
    for (const Element& element : box().children) {
        if (element.control == &control)
            return element;
    }
    throw Sysutils::Exception("Das Steuerelement " + quoted(control.name) + " hat kein Element auf der Seite.");
}

std::string html(const Element& element)
{
    std::string out;
    writeInto(out, element);
    return out;
}

std::string places(const FormDefinition& form)
{
    const Page page(form);
    std::string css = "#" + std::string(form.name) + " { --form-width: " + pixels(form.bounds.width)
                      + "; --form-height: " + pixels(form.bounds.height) + "; --designed-family: "
                      + cssString(form.font.family) + "; --designed-size: " + pixels(form.font.pixelHeight) + "; }\n";
    for (const ControlDefinition& control : form.controls) {
        const Bounds& bounds = control.bounds;
        css += "#" + std::string(page.control(control).attribute("id")) + " { --left: " + pixels(bounds.left)
               + "; --top: " + pixels(bounds.top) + ";";
        if (control.autoSize == AutoSize::No)
            css += " --width: " + pixels(bounds.width) + "; --height: " + pixels(bounds.height) + ";";
        css += " }\n";
    }
    if (form.ticket)
        css += "#" + std::string(form.name).append(gridSuffix) + " { --per-row: " + std::to_string(form.ticket->perRow)
               + "; }\n";
    return css;
}

std::string markStyles()
{
    std::string css = "[data-mark] { --mark-frame-width: " + pixels(markFrameWidth) + "; }\n";
    std::string dark;
    for (const MarkLook look : markLooks) {
        const std::string selector = "[data-mark=\"" + std::string(lookName(look)) + "\"] {";
        const auto colours = [](const MarkColours& mark) {
            return " --mark-ground: " + cssColour(mark.ground) + "; --mark-frame: " + cssColour(mark.frame)
                   + "; --mark-text: " + cssColour(mark.text) + ";";
        };
        css += selector + colours(markColours(look, false)) + " --mark-frame-style: " + std::string(lookName(look))
               + "; }\n";
        dark += selector + colours(markColours(look, true)) + " }\n";
    }
    return css + "@media (prefers-color-scheme: dark) {\n" + dark + "}\n";
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
