#include "PageMarkup.h"

#include "SpokenName.h"
#include "Sysutils.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace PageMarkup {
namespace {

// The grid's id: the form's, with this after it.
constexpr std::string_view gridSuffix = "-number-grid";

// How many of its first words name a label that stands by no control.
constexpr int wordsOfAFreeLabel = 3;

std::string quoted(std::string_view name)
{
    return std::string("\u201E").append(name).append("\u201C");
}

[[noreturn]] void twoElements(const FormDefinition& form, std::string_view id)
{
    throw Sysutils::Exception("Das Fenster " + quoted(form.name) + " hat zwei Elemente " + quoted(id) + ".");
}

// A letter, a digit, or a byte of a character beyond ASCII: what an id's
// words are made of, valid in HTML's ids and CSS's names alike.
bool inWord(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// A control's id is its name. A label without one is named after the
// control it stands by; one that stands by none, after its text's first words.
std::string madeId(const ControlDefinition& control)
{
    if (!control.labelFor.control.empty())
        return std::string(control.labelFor.control)
               + (control.labelFor.role == LabelRole::Heading ? "-heading" : "-label");
    std::string id = "text";
    int words = 0;
    for (std::size_t k = 0; k < control.caption.size() && words < wordsOfAFreeLabel;) {
        if (!inWord(control.caption[k])) {
            ++k;
            continue;
        }
        id += '-';
        for (; k < control.caption.size() && inWord(control.caption[k]); ++k)
            id += control.caption[k];
        ++words;
    }
    return id;
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

// part: the class of the control's part of the ticket; empty for none.
Element controlElement(const ControlDefinition& control, std::string_view id, std::string_view part)
{
    Element element;
    element.control = &control;
    std::vector<Attribute>& attributes = element.attributes;
    const std::string_view spoken = spokenName(control, control.caption);
    const std::string_view label = ariaLabel(control, spoken, control.caption);
    switch (control.kind) {
    case ControlKind::Label:
        element.tag = "label";
        attributes.push_back({"id", id});
        element.text = control.caption;
        break;
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
        element.children.push_back(Element{"span", {{"class", "caption"}}, control.caption, {}});
        break;
    }
    if (!part.empty())
        attributes.push_back({"class", part});
    if (!label.empty())
        attributes.push_back({"aria-label", label});
    if (control.tabOrder == noTabStop && control.kind != ControlKind::Label)
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

// The class of each control's part of the ticket, by the control's index.
std::vector<std::string_view> ticketParts(const FormDefinition& form)
{
    std::vector<std::string_view> parts(form.controls.size());
    const TicketDefinition* ticket = form.ticket;
    if (!ticket)
        return parts;
    const auto mark = [&](std::span<const std::string_view> names, std::string_view part) {
        for (const std::string_view name : names) {
            std::string_view& marked = parts[indexOf(form, name)];
            if (!marked.empty())
                throw Sysutils::Exception("Das Steuerelement " + quoted(name) + " hat zwei Teile des Tippscheins.");
            marked = part;
        }
    };
    mark(ticket->fields, "ticket");
    mark({&ticket->play, 1}, "play");
    mark(ticket->draw, "draw");
    mark(ticket->result, "result");
    if (!ticket->bonus.empty()) {
        std::string_view& bonus = parts[indexOf(form, ticket->bonus)];
        if (bonus != "draw")
            throw Sysutils::Exception("Die Zusatzzahl " + quoted(ticket->bonus) + " ist keine gezogene Zahl.");
        bonus = "draw bonus";
    }
    return parts;
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

// A new last child of the parent, which stays put until the parent gets another.
Element& child(Element& parent,
               std::string_view tag,
               std::initializer_list<Attribute> attributes,
               std::string_view text = {})
{
    return parent.children.emplace_back(Element{tag, attributes, text, {}});
}

bool isVoid(std::string_view tag)
{
    return tag == "input";
}

// The tree is the one that Page makes, six levels deep at most.
void writeInto(std::string& out, const Element& element)  // NOLINT(misc-no-recursion)
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

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            (void)std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string jsonBounds(const Bounds& bounds)
{
    std::string json = "[";
    for (const int value : {bounds.left, bounds.top, bounds.width, bounds.height})
        json.append(json.size() > 1 ? ", " : "").append(std::to_string(value));
    return json + "]";
}

std::string jsonNames(std::span<const std::string_view> names)
{
    std::string out = "[";
    for (const std::string_view name : names)
        out.append(out.size() > 1 ? ", " : "").append(jsonString(name));
    return out + "]";
}

// A JSON object, written member by member; each value is JSON already.
class JsonObject {
public:
    JsonObject& add(std::string_view key, const std::string& value)
    {
        m_text.append(m_text.empty() ? "{" : ", ").append(jsonString(key)).append(": ").append(value);
        return *this;
    }
    std::string text() const { return (m_text.empty() ? "{" : m_text) + "}"; }

private:
    std::string m_text;
};

std::string_view kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::Edit:
        return "edit";
    case ControlKind::Button:
        return "button";
    case ControlKind::CloseButton:
        return "closeButton";
    }
    return {};
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
    for (const ControlDefinition& control : form.controls) {
        ids.push_back(control.name.empty() ? keep(madeId(control)) : control.name);
        if (std::find(ids.begin(), ids.end() - 1, ids.back()) != ids.end() - 1)
            twoElements(form, ids.back());
    }
    const std::vector<std::string_view> parts = ticketParts(form);
    std::vector<Element> elements;
    for (std::size_t k = 0; k < count; ++k)
        elements.push_back(controlElement(form.controls[k], ids[k], parts[k]));

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
        if (form.controls[k].tabOrder == noTabStop)
            order.push_back(k);
    }
    const std::vector<std::size_t> stops = tabStops(form.controls);
    order.insert(order.end(), stops.begin(), stops.end());

    // The grid after the ticket's field that comes last.
    std::size_t lastField = count;
    for (std::size_t k = 0; k < count; ++k) {
        if (parts[order[k]] == "ticket")
            lastField = k;
    }
    // The line of the result in words, which the window's description of
    // the ticket's outcome fills, after that field.
    const std::size_t outcome =
        form.ticket && !form.ticket->outcome.empty() ? indexOf(form, form.ticket->outcome) : count;
    Element box{"div", {{"class", "form"}, {"id", form.name}}, {}, {}};
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t control = order[k];
        if (parts[control] == "ticket")
            elements[control].attributes.push_back({"enterkeyhint", "next"});
        box.children.push_back(std::move(elements[control]));
        if (k == lastField)
            box.children.push_back(gridElement(form, *form.ticket));
        if (control == outcome) {
            m_described = &form.controls[control];
            m_descriptionId = keep(std::string(ids[control]).append("-description"));
            if (std::find(ids.begin(), ids.end(), m_descriptionId) != ids.end())
                twoElements(form, m_descriptionId);
            box.children.push_back(Element{"p", {{"class", "outcome"}, {"id", m_descriptionId}}, {}, {}});
        }
    }

    m_frame = Element{"div", {{"class", "frame"}, {"data-touch", keep(touchQuery(form))}}, {}, {}};
    m_frame.children.push_back(std::move(box));

    if (form.task) {
        m_task = taskElement(*form.task);
        for (const std::string_view id : m_taskIds) {
            if (id == form.name || std::find(ids.begin(), ids.end(), id) != ids.end())
                twoElements(form, id);
        }
    }

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

std::string_view Page::descriptionId(const ControlDefinition& control) const
{
    return &control == m_described ? m_descriptionId : std::string_view();
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
                 {{"class", "number-grid"},
                  {"id", m_gridId = keep(std::string(form.name).append(gridSuffix))},
                  {"role", "group"},
                  {"aria-label", ticket.spokenName}},
                 {},
                 {}};
    for (int number = ticket.lowest; number <= ticket.highest; ++number) {
        const std::string_view text = keep(std::to_string(number));
        Element button{"button", {{"type", "button"}, {"value", text}, {"aria-pressed", "false"}}, text, {}};
        if (number != ticket.lowest)
            button.attributes.push_back({"tabindex", "-1"});
        grid.children.push_back(std::move(button));
    }
    grid.children.push_back(Element{"p", {{"class", "note"}}, {}, {}});
    return grid;
}

// The part of a long task, each of its elements named after the task: a
// section (a region that its heading names), the choice with its label, the
// buttons, the progress (named, and described by the text beside it), the
// table with its caption and headings, and the status element of its note.
Element Page::taskElement(const TaskDefinition& task)
{
    const auto id = [&](std::string_view role) {
        return m_taskIds.emplace_back(keep(std::string(task.name).append("-").append(role)));
    };
    m_taskId = m_taskIds.emplace_back(task.name);
    const std::string_view heading = id("heading");
    const std::string_view choiceId = id("choice");
    const std::string_view tally = id("tally");
    Element part{"section", {{"class", "task"}, {"id", m_taskId}, {"aria-labelledby", heading}}, {}, {}};
    child(part, "h2", {{"id", heading}}, task.heading);

    Element& choose = child(part, "div", {{"class", "choose"}});
    child(choose, "label", {{"for", choiceId}}, task.choice);
    Element& choice = child(choose, "select", {{"id", choiceId}});
    for (const std::string_view text : task.choices)
        child(choice, "option", {}, text);
    child(choose, "button", {{"type", "button"}, {"class", "start"}, {"id", id("start")}}, task.start);
    child(choose, "button", {{"type", "button"}, {"class", "stop"}, {"id", id("stop")}, {"disabled", ""}}, task.stop);

    child(part, "progress",
          {{"id", id("progress")},
           {"max", "1"},
           {"value", "0"},
           {"aria-label", task.progress},
           {"aria-describedby", tally}});
    child(part, "p", {{"class", "tally"}, {"id", tally}});

    Element& table = child(part, "table", {});
    child(table, "caption", {}, task.table);
    Element& headings = child(child(table, "thead", {}), "tr", {});
    for (const std::string_view column : task.columns)
        child(headings, "th", {{"scope", "col"}}, column);
    Element& body = child(table, "tbody", {});
    for (const std::string_view row : task.rows) {
        Element& cells = child(body, "tr", {});
        child(cells, "th", {{"scope", "row"}}, row);
        for (std::size_t k = 1; k < task.columns.size(); ++k)
            child(cells, "td", {});
    }
    child(part, "p", {{"class", "note"}, {"id", id("note")}, {"role", "status"}});
    return part;
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

std::string_view ariaLabel(const ControlDefinition& control, std::string_view spokenName, std::string_view shownText)
{
    if (control.kind == ControlKind::Label && spokenName == shownText)
        return {};
    return spokenName;
}

std::string places(const FormDefinition& form)
{
    const Page page(form);
    std::string css;
    // Appended piece by piece: a literal before a string made on the spot
    // has GCC 12 at -O3 warn of an overlap that cannot happen.
    const auto rule = [&css](std::string_view id, const std::string& declarations) {
        css.append("#").append(id).append(" {").append(declarations).append(" }\n");
    };
    rule(form.name, " --form-width: " + pixels(form.bounds.width) + "; --form-height: " + pixels(form.bounds.height)
                        + "; --designed-family: " + cssString(form.font.family)
                        + "; --designed-size: " + pixels(form.font.pixelHeight) + ";");
    for (const ControlDefinition& control : form.controls) {
        const Bounds& bounds = control.bounds;
        const std::string_view id = page.control(control).attribute("id");
        std::string declarations = " --left: " + pixels(bounds.left) + "; --top: " + pixels(bounds.top) + ";";
        if (control.autoSize == AutoSize::No)
            declarations += " --width: " + pixels(bounds.width) + "; --height: " + pixels(bounds.height) + ";";
        rule(id, declarations.append(" grid-area: ").append(id).append(";"));
    }
    if (const Element* grid = page.grid()) {
        const std::string_view id = grid->attribute("id");
        rule(id, (" --per-row: " + std::to_string(form.ticket->perRow) + "; grid-area: ").append(id).append(";"));
    }
    for (const ControlDefinition& control : form.controls) {
        if (const std::string_view id = page.descriptionId(control); !id.empty())
            rule(id, std::string(" grid-area: ").append(id).append(";"));
    }
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

std::string picture(const FormDefinition& form)
{
    const Page page(form);
    std::string controls;
    for (const Element& element : page.box().children) {
        const ControlDefinition* control = element.control;
        if (!control)
            continue;
        JsonObject described;
        described.add("name", jsonString(control->name))
            .add("id", jsonString(element.attribute("id")))
            .add("kind", jsonString(kindName(control->kind)))
            .add("part", jsonString(element.attribute("class")))
            .add("caption", jsonString(control->caption))
            .add("spoken", jsonString(spokenName(*control, control->caption)))
            .add("bounds", jsonBounds(control->bounds))
            .add("autoSize", control->autoSize == AutoSize::Yes ? "true" : "false")
            .add("tabOrder", control->tabOrder == noTabStop ? "null" : std::to_string(control->tabOrder));
        if (!control->labelFor.control.empty())
            described.add("labelFor", jsonString(control->labelFor.control))
                .add("labelRole", jsonString(control->labelFor.role == LabelRole::Heading ? "heading" : "name"));
        controls.append(controls.empty() ? "[\n  " : ",\n  ").append(described.text());
    }
    JsonObject picture;
    picture.add("name", jsonString(form.name))
        .add("caption", jsonString(form.caption))
        .add("bounds", jsonBounds(form.bounds))
        .add("controls", controls.empty() ? "[]" : controls + "]");
    if (const TicketDefinition* ticket = form.ticket) {
        const Element* grid = page.grid();
        JsonObject numbers;
        numbers.add("id", jsonString(grid ? grid->attribute("id") : ""))
            .add("lowest", std::to_string(ticket->lowest))
            .add("highest", std::to_string(ticket->highest))
            .add("perRow", std::to_string(ticket->perRow))
            .add("spoken", jsonString(ticket->spokenName));
        JsonObject described;
        JsonObject outcome;
        if (!ticket->outcome.empty())
            outcome.add("field", jsonString(ticket->outcome))
                .add("id", jsonString(page.descriptionId(form.controls[indexOf(form, ticket->outcome)])));
        described.add("fields", jsonNames(ticket->fields))
            .add("play", jsonString(ticket->play))
            .add("draw", jsonNames(ticket->draw))
            .add("bonus", jsonString(ticket->bonus))
            .add("result", jsonNames(ticket->result))
            .add("outcome", ticket->outcome.empty() ? "null" : outcome.text())
            .add("grid", numbers.text());
        picture.add("ticket", described.text());
    }
    if (const TaskDefinition* task = form.task) {
        JsonObject described;
        described.add("id", jsonString(task->name))
            .add("heading", jsonString(task->heading))
            .add("choice", jsonString(task->choice))
            .add("choices", jsonNames(task->choices))
            .add("start", jsonString(task->start))
            .add("stop", jsonString(task->stop))
            .add("progress", jsonString(task->progress))
            .add("table", jsonString(task->table))
            .add("columns", jsonNames(task->columns))
            .add("rows", jsonNames(task->rows));
        picture.add("task", described.text());
    }
    return picture.text() + "\n";
}

}  // namespace PageMarkup
