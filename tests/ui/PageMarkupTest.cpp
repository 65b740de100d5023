// Guards how a form's table becomes the page's elements, without a browser:
// each row a small table and the elements the page holds for it, in the
// page's order, which is the tab order also where a label stands between two
// tab stops; texts escaped, whatever a caption holds; a label as its
// control's <label> or as the heading that describes it; the ticket's parts
// by class, with the grid after its last field and the outcome's line after
// its field; and a form whose ids would clash refused. A label's made id
// keeps to its words when rows are added.
#include "PageMarkup.h"
#include "Sysutils.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using K = ControlKind;

const std::string field =
    " inputmode=\"numeric\" autocomplete=\"off\" spellcheck=\"false\" autocapitalize=\"off\""
    " autocorrect=\"off\"";

const std::string_view ticketFields[] = {"T1", "T2"};
const std::string_view drawFields[] = {"D"};
const std::string_view resultFields[] = {"R"};
const TicketDefinition ticket{.fields = ticketFields,
                              .play = "P",
                              .draw = drawFields,
                              .bonus = "D",
                              .result = resultFields,
                              .outcome = "R",
                              .lowest = 1,
                              .highest = 2,
                              .perRow = 2,
                              .spokenName = "Schein"};

struct MarkupRow {
    const char* name;
    std::vector<ControlDefinition> controls;
    const TicketDefinition* ticket;
    // The form's elements in the page's order; none where the form is refused.
    std::vector<std::string> elements;
    friend void PrintTo(const MarkupRow& row, std::ostream* os) { *os << row.name; }
};

const MarkupRow rows[] = {
    {"TabStopOneThenALabelThenTabStopZero",
     {{"A", K::Edit, {0, 0, 9, 9}, "", "Feld", {}, 1},
      {"", K::Label, {0, 9, 9, 9}, "Neu", {}, {}, noTabStop},
      {"B", K::Button, {0, 18, 9, 9}, "Los", {}, {}, 0}},
     nullptr,
     {"<label id=\"text-Neu\">Neu</label>",
      "<button type=\"button\" id=\"B\" aria-label=\"Los\"><span class=\"caption\">Los</span></button>",
      "<input type=\"text\" id=\"A\"" + field + " aria-label=\"Feld\">"}},
    {"HostileCaptionsEscaped",
     {{"", K::Label, {0, 0, 9, 9}, "<b>\"&amp;</b>", {}, {}, noTabStop},
      {"B", K::Button, {0, 9, 9, 9}, "</span><img src=x onerror=\"x\">", {}, {}, 0}},
     nullptr,
     {"<label id=\"text-b-amp-b\">&lt;b&gt;\"&amp;amp;&lt;/b&gt;</label>",
      "<button type=\"button\" id=\"B\" aria-label=\"&lt;/span&gt;&lt;img src=x onerror=&quot;x&quot;&gt;\">"
      "<span class=\"caption\">&lt;/span&gt;&lt;img src=x onerror=\"x\"&gt;</span></button>"}},
    {"LabelAsNameOrAsHeading",
     {{"", K::Label, {0, 0, 9, 9}, "Name", {}, {"A", LabelRole::OwnName}},
      {"", K::Label, {0, 9, 9, 9}, "Kopf", "Kopfzeile", {"B", LabelRole::Heading}},
      {"A", K::Edit, {0, 18, 9, 9}, "", "Feld A", {}, 0},
      {"B", K::Edit, {0, 27, 9, 9}, "7", "Feld B", {}, 1}},
     nullptr,
     {"<label id=\"A-label\" for=\"A\">Name</label>", "<label id=\"B-heading\" aria-label=\"Kopfzeile\">Kopf</label>",
      "<input type=\"text\" id=\"A\"" + field + " aria-label=\"Feld A\">",
      "<input type=\"text\" id=\"B\"" + field + " value=\"7\" aria-label=\"Feld B\" aria-describedby=\"B-heading\">"}},
    {"TicketPartsAndTheGridAfterItsLastField",
     {{"P", K::Button, {0, 0, 9, 9}, "Ziehen", {}, {}, 2},
      {"T2", K::Edit, {0, 9, 9, 9}, "", "Zwei", {}, 1},
      {"R", K::Edit, {0, 18, 9, 9}, "", "Ergebnis", {}, 3},
      {"T1", K::Edit, {0, 27, 9, 9}, "", "Eins", {}, 0},
      {"D", K::Edit, {0, 36, 9, 9}, "", "Gezogen", {}, 4}},
     &ticket,
     {"<input type=\"text\" id=\"T1\"" + field + " class=\"ticket\" aria-label=\"Eins\" enterkeyhint=\"next\">",
      "<input type=\"text\" id=\"T2\"" + field + " class=\"ticket\" aria-label=\"Zwei\" enterkeyhint=\"next\">",
      "<div class=\"number-grid\" id=\"F-number-grid\" role=\"group\" aria-label=\"Schein\">"
      "<button type=\"button\" value=\"1\" aria-pressed=\"false\">1</button>"
      "<button type=\"button\" value=\"2\" aria-pressed=\"false\" tabindex=\"-1\">2</button><p "
      "class=\"note\"></p></div>",
      "<button type=\"button\" id=\"P\" class=\"play\" aria-label=\"Ziehen\"><span "
      "class=\"caption\">Ziehen</span></button>",
      "<input type=\"text\" id=\"R\"" + field + " class=\"result\" aria-label=\"Ergebnis\">",
      "<p class=\"outcome\" id=\"R-description\"></p>",
      "<input type=\"text\" id=\"D\"" + field + " class=\"draw bonus\" aria-label=\"Gezogen\">"}},
    {"AHeadingWhoseIdANameHasIsRefused",
     {{"", K::Label, {0, 0, 9, 9}, "Kopf", {}, {"A", LabelRole::Heading}},
      {"A", K::Edit, {0, 9, 9, 9}, "", "Feld", {}, 0},
      {"A-heading", K::Edit, {0, 18, 9, 9}, "", "Feld", {}, 1}},
     nullptr,
     {}},
    {"TwoLabelsOfTheSameFirstWordsAreRefused",
     {{"", K::Label, {0, 0, 9, 9}, "Bitte sechs Zahlen", {}, {}},
      {"", K::Label, {0, 9, 9, 9}, "Bitte sechs Zahlen, dann Ziehung", {}, {}}},
     nullptr,
     {}},
};

class PageMarkupTable : public ::testing::TestWithParam<MarkupRow> {};

TEST_P(PageMarkupTable, DescribesTheElementsInTheTabOrder)
{
    const MarkupRow& row = GetParam();
    const FormDefinition form{"F", "F", {0, 0, 100, 100}, {"Face", 10}, row.controls, row.ticket};
    if (row.elements.empty()) {
        EXPECT_THROW(PageMarkup::Page{form}, Sysutils::Exception);
        return;
    }
    const PageMarkup::Page page(form);
    std::vector<std::string> elements;
    for (const PageMarkup::Element& element : page.box().children)
        elements.push_back(PageMarkup::html(element));
    EXPECT_EQ(elements, row.elements);
}

INSTANTIATE_TEST_SUITE_P(Forms, PageMarkupTable, ::testing::ValuesIn(rows), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(PageMarkup, ALabelsMadeIdStaysWhenARowIsAddedBeforeIt)
{
    const std::vector<ControlDefinition> controls = {{"", K::Label, {0, 0, 9, 9}, "Die sechs Zahlen hier", {}, {}}};
    std::vector<ControlDefinition> added = controls;
    added.insert(added.begin(), {"", K::Label, {0, 9, 9, 9}, "Neu", {}, {}});
    const FormDefinition before{"F", "F", {0, 0, 100, 100}, {"Face", 10}, controls};
    const FormDefinition after{"F", "F", {0, 0, 100, 100}, {"Face", 10}, added};
    EXPECT_EQ(PageMarkup::Page(before).control(before.controls[0]).attribute("id"), "text-Die-sechs-Zahlen");
    EXPECT_EQ(PageMarkup::Page(after).control(after.controls[1]).attribute("id"), "text-Die-sechs-Zahlen");
}

}  // namespace
