// Guards the main window as a person meets it: every control of the form's
// table where the table puts it, with its caption, spoken name, relations and
// tab position; the table itself as the window was designed, once; focus on
// "Ziehung"; long texts; each button doing its command when clicked; the
// marks of the numbers that hit and the result in words after the match
// count's name, shown and said until their text changes;
// errors shown once and survived; and both ways of closing ending the event
// loop.
#include "Forms.h"
#include "PageMarkup.h"
#include "QtWindowDriver.h"
#include "RandomSource.h"
#include "SpokenName.h"
#include "Unit1.h"
#include "qt/QtFaces.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace lotto::testing {
namespace {

using K = ControlKind;
using L = LabelRole;

// The window as it was designed: each control of the form's table, in the
// table's order. The other tests of the window, the page and the screen
// readers read the table, or its picture, so that a control added there
// needs no test changed; a designed place, text, name or tab stop that
// changes shows here.
struct DesignedControl {
    std::string_view name;
    ControlKind kind;
    Bounds bounds;
    std::string_view caption;
    std::string_view spoken;
    int tabOrder = noTabStop;
    LabelFor labelFor = {};
    AutoSize autoSize = AutoSize::No;
};

const char* const headline = "Die eingegebenen Zahlen müssen im Bereich zwischen 1-49 liegen";

// clang-format off
const DesignedControl designedWindow[] = {
    {"",            K::Label,       {88,  312,  36, 13}, "Gewinn",                  "Gewinn",                  noTabStop, {"EditGewinn", L::Heading},  AutoSize::Yes},
    {"Label2",      K::Label,       {88,  376,  29, 13}, "Fehler",                  "Fehler",                  noTabStop, {"EditBereich", L::Heading}, AutoSize::Yes},
    {"",            K::Label,       {88,   32,  62, 13}, "Tippeingabe ",            "Tippeingabe ",            noTabStop, {"Tipp1", L::Heading},       AutoSize::Yes},
    {"",            K::Label,       {232,  32,  39, 13}, "Ziehung",                 "Ziehung",                 noTabStop, {"Zahl1", L::Heading},       AutoSize::Yes},
    {"",            K::Label,       {312,  32,  51, 13}, "Zusatzzahl",              "Zusatzzahl",              noTabStop, {"Zahl7", L::OwnName},       AutoSize::Yes},
    {"Label1",      K::Label,       {472,  16, 115, 13}, "Zahleneingabe für Faule", "Zahleneingabe für Faule", noTabStop, {"Button6", L::Heading},     AutoSize::Yes},
    {"",            K::Label,       {72,    0, 321, 17}, headline,                  headline,                  noTabStop},
    {"Button1",     K::Button,      {416, 248, 249, 49}, "Ziehung",                 "Ziehung",                  0},
    {"EditGewinn",  K::Edit,        {88,  328,  41, 21}, "",                        "Gewinn: Anzahl Treffer",   1},
    {"EditZusatz",  K::Edit,        {136, 328, 145, 21}, "",                        "Zusatzzahl getroffen",     2},
    {"EditBereich", K::Edit,        {88,  392, 193, 21}, "",                        "Fehler: Bereich",          3},
    {"EditDoppelt", K::Edit,        {88,  416, 193, 21}, "",                        "Fehler: doppelte Zahl",    4},
    {"BitBtn1",     K::CloseButton, {416, 408, 249, 25}, "Schließen",               "Schließen",                5},
    {"Button3",     K::Button,      {472,  80, 193, 25}, "Doppelte Zahlen",         "Doppelte Zahlen",          6},
    {"Button4",     K::Button,      {472, 112, 193, 25}, "Zahl nicht im Tippscheinbereich", "Zahl nicht im Tippscheinbereich", 7},
    {"Button5",     K::Button,      {472, 144, 193, 25}, "\"Beides\"",              "\"Beides\"",               8},
    {"Button6",     K::Button,      {472,  48, 193, 25}, "\"Zufallszahlen\"",       "\"Zufallszahlen\"",        9},
    {"Button7",     K::Button,      {416, 312, 249, 33}, "Tippschein löschen!",     "Tippschein löschen!",     10},
    {"Tipp1",       K::Edit,        {96,   56,  41, 21}, "",                        "Tipp 1",                  11},
    {"Tipp2",       K::Edit,        {96,   88,  41, 21}, "",                        "Tipp 2",                  12},
    {"Tipp3",       K::Edit,        {96,  120,  41, 21}, "",                        "Tipp 3",                  13},
    {"Tipp4",       K::Edit,        {96,  152,  41, 21}, "",                        "Tipp 4",                  14},
    {"Tipp5",       K::Edit,        {96,  184,  41, 21}, "",                        "Tipp 5",                  15},
    {"Tipp6",       K::Edit,        {96,  216,  41, 21}, "",                        "Tipp 6",                  16},
    {"Zahl1",       K::Edit,        {232,  56,  41, 21}, "",                        "Ziehung 1",               17},
    {"Zahl2",       K::Edit,        {232,  88,  41, 21}, "",                        "Ziehung 2",               18},
    {"Zahl3",       K::Edit,        {232, 120,  41, 21}, "",                        "Ziehung 3",               19},
    {"Zahl4",       K::Edit,        {232, 152,  41, 21}, "",                        "Ziehung 4",               20},
    {"Zahl5",       K::Edit,        {232, 184,  41, 21}, "",                        "Ziehung 5",               21},
    {"Zahl6",       K::Edit,        {232, 216,  41, 21}, "",                        "Ziehung 6",               22},
    {"Zahl7",       K::Edit,        {320,  56,  41, 21}, "",                        "Zusatzzahl",              23},
};
// clang-format on

auto essentials(const Bounds& b)
{
    return std::tuple(b.left, b.top, b.width, b.height);
}

TEST(Form1Table, IsTheDesignedWindow)
{
    EXPECT_EQ(form1Definition.name, "Form1");
    EXPECT_EQ(form1Definition.caption, "Form1");
    EXPECT_EQ(essentials(form1Definition.bounds), std::tuple(241, 107, 696, 480));
    EXPECT_EQ(form1Definition.font.family, "MS Sans Serif");
    EXPECT_EQ(form1Definition.font.pixelHeight, 11);
    ASSERT_EQ(form1Definition.controls.size(), std::size(designedWindow));
    for (std::size_t k = 0; k < std::size(designedWindow); ++k) {
        const DesignedControl& designed = designedWindow[k];
        const ControlDefinition& control = form1Definition.controls[k];
        EXPECT_EQ(std::tuple(control.name, control.kind, control.caption, spokenName(control, control.caption),
                             control.tabOrder, control.labelFor.control, control.labelFor.role, control.autoSize),
                  std::tuple(designed.name, designed.kind, designed.caption, designed.spoken, designed.tabOrder,
                             designed.labelFor.control, designed.labelFor.role, designed.autoSize))
            << "row " << k << " " << designed.caption;
        EXPECT_EQ(essentials(control.bounds), essentials(designed.bounds)) << "row " << k << " " << designed.caption;
    }
}

// What the window shows of a control of the table: its own name, or for a
// label the form does not refer to, its caption.
QWidget* shown(QWidget* window, const ControlDefinition& control)
{
    return lotto::testing::control(window, std::string(control.name).c_str(), std::string(control.caption).c_str());
}

// The caption of the label that heads the control, said after its name; "" for none.
std::string headingOf(const ControlDefinition& control)
{
    for (const ControlDefinition& label : form1Definition.controls) {
        if (label.labelFor.control == control.name && label.labelFor.role == LabelRole::Heading)
            return std::string(label.caption);
    }
    return {};
}

const char* const ticketNames[] = {"Tipp1", "Tipp2", "Tipp3", "Tipp4", "Tipp5", "Tipp6"};
const char* const drawNames[] = {"Zahl1", "Zahl2", "Zahl3", "Zahl4", "Zahl5", "Zahl6", "Zahl7"};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Show();
        window = shownWindow("Form1");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    QString field(const char* name) const { return text(window, name); }

    // The ticket 44 3 25 15 07 10, typed, against the first draw: 3 16 21 36 37 44, bonus 10.
    void typeTicketAndDraw()
    {
        lotto::sharedRandomSource() = lotto::RandomSource();
        for (const auto& [name, number] : {std::pair{"Tipp1", "44"},
                                           {"Tipp2", "3"},
                                           {"Tipp3", "25"},
                                           {"Tipp4", "15"},
                                           {"Tipp5", "07"},
                                           {"Tipp6", "10"}}) {
            auto* edit = window->findChild<QLineEdit*>(name);
            edit->selectAll();
            QTest::keyClicks(edit, number);
        }
        click(window, "Button1");
    }

    TForm1 form;
    QWidget* window = nullptr;
};

class DesignedLayout : public WindowTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(DesignedLayout, ControlHasItsKindPlaceCaptionAndState)
{
    const ControlDefinition& designed = form1Definition.controls[GetParam()];
    const QRect bounds(designed.bounds.left, designed.bounds.top, designed.bounds.width, designed.bounds.height);
    const std::string caption(designed.caption);
    QWidget* widget = shown(window, designed);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), window);
    EXPECT_EQ(widget->pos(), bounds.topLeft());
    EXPECT_EQ(widget->objectName().toStdString(), designed.name);
    EXPECT_EQ(widget->accessibleName().toStdString(), spokenName(designed, designed.caption))
        << "what a screen reader says";
    EXPECT_EQ(widget->accessibleDescription().toStdString(), headingOf(designed)) << "said after the name";

    switch (designed.kind) {
    case K::Label: {
        auto* label = qobject_cast<QLabel*>(widget);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), caption);
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        const QWidget* labelled = label->buddy();
        EXPECT_EQ(labelled ? labelled->objectName().toStdString() : "",
                  designed.labelFor.role == L::OwnName ? designed.labelFor.control : "");
        EXPECT_TRUE(label->alignment() & Qt::AlignTop) << "the text sits at the top, as designed";
        if (designed.autoSize == AutoSize::No) {
            EXPECT_EQ(label->size(), bounds.size()) << "a label of a fixed size keeps its designed size";
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), bounds.width() - 2)
                << "its whole text fits, with room to spare";
        } else {
            EXPECT_EQ(label->size(), label->sizeHint()) << "labels size themselves to their text";
            EXPECT_NEAR(label->width(), bounds.width(), 2) << "in the designed font's width";
            EXPECT_NEAR(label->height(), bounds.height(), 2) << "and height";
        }
        break;
    }
    case K::Edit: {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->size(), bounds.size());
        EXPECT_EQ(edit->text().toStdString(), caption);
        EXPECT_FALSE(edit->isReadOnly());
        break;
    }
    case K::Button:
    case K::CloseButton: {
        auto* button = qobject_cast<QPushButton*>(widget);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->size(), bounds.size());
        EXPECT_EQ(button->text().toStdString(), caption);
        if (!button->hasFocus()) {
            EXPECT_FALSE(button->isDefault()) << "no button is the window's default";
        }
        EXPECT_EQ(button->icon().isNull(), designed.kind != K::CloseButton);
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()) + button->iconSize().width(),
                  button->width() - 8)
            << "the caption fits inside the button's frame";
        break;
    }
    }
}

// Each row is named after its control's element on the page (PageMarkup.h),
// which a label the form does not refer to has as well.
std::string rowName(std::size_t row)
{
    const PageMarkup::Page page(form1Definition);
    std::string name(page.control(form1Definition.controls[row]).attribute("id"));
    for (char& letter : name) {
        if (!std::isalnum(static_cast<unsigned char>(letter)))
            letter = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Form1,
                         DesignedLayout,
                         ::testing::Range<std::size_t>(0, form1Definition.controls.size()),
                         [](const auto& info) { return rowName(info.param); });

TEST_F(WindowTest, HasTheDesignedCaptionSizeFontAndNothingMore)
{
    EXPECT_EQ(window->windowTitle(), "Form1");
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        EXPECT_EQ(window->frameGeometry(), QRect(241, 107, 696, 480));
    }
    EXPECT_EQ(window->font().pixelSize(), 11);
    // The scaled run of these tests must really be scaled, and there the
    // designed pixel face gives way to a scalable one.
    const double ratio = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_EQ(window->devicePixelRatioF(), ratio);
    if (ratio != 1) {
        EXPECT_NE(QFontInfo(window->font()).family(), "MS Sans Serif");
    }
    EXPECT_EQ(window->findChildren<QWidget*>().size(), form1Definition.controls.size());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(WindowTest, TabWalksTheDesignedOrderFromZiehung)
{
    const std::vector<std::size_t> stops = tabStops(form1Definition.controls);
    QWidget* current = window->findChild<QWidget*>(QString::fromUtf8(form1Definition.controls[stops[0]].name));
    EXPECT_EQ(window->focusWidget(), current);

    for (std::size_t k = 1; k <= stops.size(); ++k) {
        do
            current = current->nextInFocusChain();
        while (!(current->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(current->objectName().toStdString(), form1Definition.controls[stops[k % stops.size()]].name)
            << "tab stop " << k << ", the last one back round";
    }
}

TEST_F(WindowTest, EditsTakeLongTexts)
{
    const std::string longText(100000, '7');
    form.Tipp1.SetText(longText);
    EXPECT_EQ(form.Tipp1.GetText(), longText);

    auto* edit = window->findChild<QLineEdit*>("Zahl7");
    edit->insert(QString(100000, QLatin1Char('x')));  // as a paste does
    EXPECT_EQ(edit->text().size(), 100000);
}

TEST_F(WindowTest, BindingAMissingOrWrongControlIsAToolkitError)
{
    // A form whose members do not match its table fails to start, with a message.
    EXPECT_THROW(form.FindControl("Button2"), Sysutils::Exception);
    EXPECT_THROW(form.Component<TEdit>("Button1"), Sysutils::Exception);
    EXPECT_EQ(&form.Component<TButton>("Button1"), &form.Button1);
}

// Where the designed face is not installed, the form gets the installed face
// that measures closest, on a plain and on a scaled screen: its self-sizing
// labels near their designed sizes, and the fixed-size headline whole.
TEST(FormFontTest, WithoutTheDesignedFaceAFaceThatMeasuresAsDesignedIsChosen)
{
    FormDefinition withoutItsFace = form1Definition;
    withoutItsFace.font.family = "Keine solche Schrift";
    for (const qreal ratio : {1.0, 1.5}) {
        const QFont font = Backend::formFont(withoutItsFace, ratio);
        const QFontMetrics metrics(font);
        for (const ControlDefinition& control : form1Definition.controls) {
            if (control.kind != ControlKind::Label)
                continue;
            const int width =
                metrics.horizontalAdvance(QString::fromUtf8(control.caption.data(), qsizetype(control.caption.size())));
            if (control.autoSize == AutoSize::Yes) {
                EXPECT_NEAR(width, control.bounds.width, 2) << control.caption << " at " << ratio;
            } else {
                EXPECT_LE(width, control.bounds.width - 2) << control.caption << " at " << ratio;
            }
        }
    }
}

TEST_F(WindowTest, TextsRoundTripThroughTheControlsAsUtf8)
{
    form.EditZusatz.SetText("Größe “ü” \u05D0");
    EXPECT_EQ(form.EditZusatz.GetText(), "Größe “ü” \u05D0");
    EXPECT_EQ(field("EditZusatz"), QString::fromUtf8("Größe “ü” \u05D0"));
}

// A button's spoken name is its caption, also after the caption changes; an
// edit keeps its own name whatever the player types into it.
TEST_F(WindowTest, SpokenNamesFollowCaptionsButNotWhatAnEditHolds)
{
    form.Button7.SetText("Alles löschen");
    EXPECT_EQ(window->findChild<QWidget*>("Button7")->accessibleName(), "Alles löschen");
    form.Button7.SetText("Tippschein löschen!");
    form.Tipp1.SetText("17");
    EXPECT_EQ(window->findChild<QWidget*>("Tipp1")->accessibleName(), "Tipp 1");
}

struct ExampleButton {
    const char* button;
    std::vector<std::string> ticket;
    friend void PrintTo(const ExampleButton& b, std::ostream* os) { *os << b.button; }
};

class ExampleButtons : public WindowTest, public ::testing::WithParamInterface<ExampleButton> {};

TEST_P(ExampleButtons, FillTheTicket)
{
    form.EditBereich.SetText("earlier finding");
    click(window, GetParam().button);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(field(ticketNames[i]).toStdString(), GetParam().ticket[i]);
    EXPECT_EQ(field("EditBereich"), "earlier finding");
}

INSTANTIATE_TEST_SUITE_P(Form1,
                         ExampleButtons,
                         ::testing::Values(ExampleButton{"Button3", {"15", "3", "25", "44", "3", "9"}},
                                           ExampleButton{"Button4", {"9", "6", "23", "140", "2", "33"}},
                                           ExampleButton{"Button5", {"9", "6", "23", "140", "6", "33"}}),
                         [](const auto& info) { return std::string(info.param.button); });

TEST_F(WindowTest, ZiehungReportsFindingsOfTheExampleTicket)
{
    click(window, "Button5");
    click(window, "Button1");
    EXPECT_EQ(field("EditBereich"), "Zahl nicht im Tippscheinbereich");
    EXPECT_EQ(field("EditDoppelt"), "Doppelte Zahl");
    EXPECT_EQ(field("EditGewinn"), "");
}

TEST_F(WindowTest, RandomTicketThenZiehungDrawsAndShowsTheResult)
{
    click(window, "Button6");
    std::set<int> ticket;
    for (const char* name : ticketNames)
        ticket.insert(field(name).toInt());
    EXPECT_EQ(ticket.size(), 6u);
    EXPECT_GE(*ticket.begin(), 1);
    EXPECT_LE(*ticket.rbegin(), 49);

    click(window, "Button1");
    std::vector<int> sortedTicket;
    for (const char* name : ticketNames)
        sortedTicket.push_back(field(name).toInt());
    EXPECT_TRUE(std::is_sorted(sortedTicket.begin(), sortedTicket.end()));
    std::set<int> drawn;
    for (const char* name : drawNames)
        drawn.insert(field(name).toInt());
    EXPECT_EQ(drawn.size(), 7u);
    EXPECT_FALSE(field("EditGewinn").isEmpty());
    EXPECT_EQ(field("EditBereich"), "");
}

TEST_F(WindowTest, ClearEmptiesEveryField)
{
    click(window, "Button6");
    click(window, "Button1");
    form.EditDoppelt.SetText("typed");
    click(window, "Button7");
    for (const ControlDefinition& control : form1Definition.controls) {
        if (control.kind == K::Edit) {
            EXPECT_EQ(field(std::string(control.name).c_str()), "") << control.name;
        }
    }
}

// Every marked field as the player sees and hears it: its text in bold on the
// mark's ground, and what is said after its name, which a mark never changes;
// and every other field that says more than its heading after its name.
std::map<std::string, std::string> shownMarks(QWidget* window)
{
    std::map<std::string, std::string> marked;
    for (const ControlDefinition& control : form1Definition.controls) {
        if (control.kind != K::Edit)
            continue;
        const std::string name(control.name);
        auto* edit = window->findChild<QLineEdit*>(QString::fromStdString(name));
        const bool bold = edit->font().bold();
        const bool ground = edit->palette().color(QPalette::Base) != window->palette().color(QPalette::Base);
        EXPECT_EQ(bold, ground) << name << ": bold only on the mark's ground";
        EXPECT_EQ(edit->accessibleName().toStdString(), spokenName(control, control.caption))
            << "a mark keeps the name";
        const std::string description = edit->accessibleDescription().toStdString();
        if (bold || description != headingOf(control))
            marked[name] = description;
    }
    return marked;
}

TEST_F(WindowTest, ADrawMarksTheHitsUntilTheirTextChanges)
{
    const std::map<std::string, std::string> hits = {
        {"Tipp1", "Treffer, Tippeingabe "},
        {"Tipp3", "Zusatzzahl getroffen"},
        {"Tipp6", "Treffer"},
        {"Zahl1", "Treffer, Ziehung"},
        {"Zahl6", "Treffer"},
        {"Zahl7", "Zusatzzahl getroffen"},
        {"EditGewinn", "Kein Gewinn, Gewinn"},  // the result in words, not a mark
    };
    typeTicketAndDraw();
    ASSERT_EQ(field("Tipp3"), "10");
    EXPECT_EQ(shownMarks(window), hits) << "3 and 44 on both sides, the bonus number 10 on both";
    const QImage marked = window->findChild<QLineEdit*>("Tipp1")->grab().toImage();
    const QImage plain = window->findChild<QLineEdit*>("Tipp2")->grab().toImage();
    EXPECT_NE(marked.pixelColor(0, marked.height() / 2), plain.pixelColor(0, plain.height() / 2)) << "a frame";

    QTest::keyClicks(window->findChild<QLineEdit*>("Tipp1"), "1");  // typed by the player
    QTest::keyClicks(window->findChild<QLineEdit*>("EditGewinn"), "1");
    auto typedOver = hits;
    typedOver.erase("Tipp1");
    typedOver.erase("EditGewinn");
    EXPECT_EQ(shownMarks(window), typedOver);
    click(window, "Button7");
    EXPECT_EQ(shownMarks(window), (std::map<std::string, std::string>{})) << "Tippschein löschen!";

    typeTicketAndDraw();
    click(window, "Button3");  // a ticket of its own
    EXPECT_EQ(shownMarks(window), (std::map<std::string, std::string>{{"Zahl1", "Treffer, Ziehung"},
                                                                      {"Zahl6", "Treffer"},
                                                                      {"Zahl7", "Zusatzzahl getroffen"},
                                                                      {"EditGewinn", "Kein Gewinn, Gewinn"}}))
        << "written by a command, the ticket's marks go; the draw's stay";
    QTest::keyClicks(window->findChild<QLineEdit*>("Tipp3"), "x");
    {
        MessageBoxAnswerer answerer;
        click(window, "Button1");
        EXPECT_EQ(answerer.texts().size(), 1u);
    }
    EXPECT_EQ(shownMarks(window), (std::map<std::string, std::string>{})) << "a draw ending at an error";
}

// A palette of high contrast, white on black and the selection too, as Qt
// gets it from a desktop's high-contrast theme: a mark keeps the system's
// ground and text, bold, in a frame of the text's colour, solid or dashed.
TEST_F(WindowTest, AMarkStaysVisibleInHighContrast)
{
    QPalette contrast = window->palette();
    for (const auto& [role, colour] : {std::pair{QPalette::Window, Qt::black},
                                       {QPalette::WindowText, Qt::white},
                                       {QPalette::Base, Qt::black},
                                       {QPalette::Text, Qt::white},
                                       {QPalette::Button, Qt::black},
                                       {QPalette::ButtonText, Qt::white},
                                       {QPalette::Highlight, Qt::cyan},
                                       {QPalette::HighlightedText, Qt::black}})
        contrast.setColor(role, colour);
    window->setPalette(contrast);
    typeTicketAndDraw();
    for (const char* name : {"Tipp1", "Tipp3"}) {  // a main number's hit and the bonus number's
        auto* edit = window->findChild<QLineEdit*>(name);
        EXPECT_TRUE(edit->font().bold()) << name;
        const QImage shown = edit->grab().toImage();
        const int middle = shown.height() / 2;
        EXPECT_EQ(shown.pixelColor(shown.width() - 4, middle), QColor(Qt::black)) << name << ": the system's ground";
        int framed = 0;
        for (int x = 0; x < shown.width(); ++x)
            framed += shown.pixelColor(x, 0) == QColor(Qt::white) ? 1 : 0;
        if (std::string_view(name) == "Tipp1")
            EXPECT_EQ(framed, shown.width()) << "a solid frame in the text's white";
        else
            EXPECT_TRUE(framed > shown.width() / 3 && framed < shown.width() * 2 / 3) << "dashes: " << framed;
    }
}

TEST_F(WindowTest, LetterInATicketFieldShowsOneMessageAndTheWindowGoesOn)
{
    click(window, "Button6");
    click(window, "Button1");
    const QString earlierDraw = field("Zahl1");
    QTest::keyClicks(window->findChild<QLineEdit*>("Tipp3"), "a");  // now e.g. "17a"

    {
        MessageBoxAnswerer answerer;
        click(window, "Button1");
        ASSERT_EQ(answerer.texts().size(), 1u);
        EXPECT_NE(answerer.texts()[0].find("ist keine gültige ganze Zahl"), std::string::npos);
        EXPECT_EQ(answerer.titles()[0], QCoreApplication::applicationName().toStdString());
    }
    for (const char* name : {"EditGewinn", "EditZusatz", "EditBereich", "EditDoppelt"})
        EXPECT_EQ(field(name), "") << name;
    EXPECT_EQ(field("Zahl1"), earlierDraw);
    EXPECT_TRUE(window->isVisible());

    click(window, "Button3");
    click(window, "Button1");
    EXPECT_EQ(field("EditDoppelt"), "Doppelte Zahl") << "the window still works";
}

TEST_F(WindowTest, ReturnInAnEditDoesNotDraw)
{
    click(window, "Button6");
    auto* edit = window->findChild<QLineEdit*>("Tipp1");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(field("Zahl1"), "");
}

// Run returns once the main window has been closed, by either means.
class RunTest : public ::testing::Test {
protected:
    void runAndCloseWith(const std::function<void(QWidget*)>& close)
    {
        TApplication application;
        TForm1* form = nullptr;
        application.CreateForm(form);
        ASSERT_EQ(application.MainForm(), form);
        bool closedFromTheLoop = false;
        QTimer::singleShot(0, [&] {
            QWidget* window = shownWindow("Form1");
            ASSERT_NE(window, nullptr);
            click(window, "Button3");
            closedFromTheLoop = true;
            close(window);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] { form->Close(); });
        watchdog.start(60000);  // a generous limit: the machines that run tests are shared
        application.Run();
        EXPECT_TRUE(closedFromTheLoop);
        EXPECT_TRUE(watchdog.isActive()) << "Run only ended through the watchdog";
        EXPECT_FALSE(form->Visible());
    }
};

TEST_F(RunTest, SchliessenEndsRun)
{
    runAndCloseWith([](QWidget* window) { click(window, "BitBtn1"); });
}

TEST_F(RunTest, TheWindowsOwnCloseEndsRun)
{
    runAndCloseWith([](QWidget* window) { window->close(); });
}

}  // namespace
}  // namespace lotto::testing
