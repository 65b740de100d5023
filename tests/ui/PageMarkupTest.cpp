// Guards how a form's table becomes the page's elements, without a browser:
// each row a small table and the elements the page holds for it, in the
// page's order, which is the tab order also where a label stands between two
// tab stops; texts escaped, whatever a caption holds; a label as its
// control's <label> or as the heading that describes it; the ticket's parts
// by class, with the grid after its last field and the outcome's line after
// its field; and a form whose ids would clash refused. A label's made id
// keeps to its words when rows are added. A long task's part is described
// apart from the form, for the program to put beside it, with a real table
// and ids that no control may have.
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

TEST(PageMarkup, ALongTasksPartIsDescribedApartWithItsTableAndIdsNoControlHas)
{
    const std::string_view choices[] = {"bis 1"};
    const std::string_view columns[] = {"Art", "Zahl"};
    const std::string_view rows[] = {"eins"};
    const TaskDefinition task{"T", "Wie?", "Ziel", choices, "Los", "Halt", "Stand", "Tabelle", columns, rows};
    std::vector<ControlDefinition> controls = {{"B", K::Button, {0, 0, 9, 9}, "Los", {}, {}, 0}};
    const FormDefinition form{"F", "F", {0, 0, 100, 100}, {"Face", 10}, controls, nullptr, {}, &task};
    const PageMarkup::Page page(form);
    ASSERT_NE(page.task(), nullptr);
    EXPECT_EQ(page.frame().children.size(), 2U) << "the form's box and status element: index.html stays the form's";
    EXPECT_EQ(PageMarkup::html(*page.task()),
              "<section class=\"task\" id=\"T\" aria-labelledby=\"T-heading\"><h2 id=\"T-heading\">Wie?</h2>"
              "<div class=\"choose\"><label for=\"T-choice\">Ziel</label><select id=\"T-choice\">"
              "<option>bis 1</option></select>"
              "<button type=\"button\" class=\"start\" id=\"T-start\">Los</button>"
              "<button type=\"button\" class=\"stop\" id=\"T-stop\" disabled=\"\">Halt</button></div>"
              "<progress id=\"T-progress\" max=\"1\" value=\"0\" aria-label=\"Stand\" "
              "aria-describedby=\"T-tally\"></progress><p class=\"tally\" id=\"T-tally\"></p>"
              "<table><caption>Tabelle</caption><thead><tr><th scope=\"col\">Art</th><th scope=\"col\">Zahl</th>"
              "</tr></thead><tbody><tr><th scope=\"row\">eins</th><td></td></tr></tbody></table>"
              "<p class=\"note\" id=\"T-note\" role=\"status\"></p></section>");

    controls.push_back({"T-start", K::Button, {0, 9, 9, 9}, "Noch einer", {}, {}, 1});
    const FormDefinition clashing{"F", "F", {0, 0, 100, 100}, {"Face", 10}, controls, nullptr, {}, &task};
    EXPECT_THROW(PageMarkup::Page{clashing}, Sysutils::Exception);
}

}  // namespace
