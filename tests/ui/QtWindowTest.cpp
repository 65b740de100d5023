// Guards the main window as a person meets it: every control where it was
// designed, with its caption and tab position; focus on "Ziehung"; long texts;
// each button doing its command when clicked; the marks of the numbers that
// hit, shown and said until their text changes; errors shown once and
// survived; and both ways of closing ending the event loop.
#include "Forms.h"
#include "QtWindowDriver.h"
#include "RandomSource.h"
#include "Unit1.h"
#include "qt/QtFaces.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <cctype>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace lotto::testing {
namespace {

enum class Kind { Label, Edit, Button, CloseButton };

struct DesignedControl {
    const char* name;    // the control's name; empty for a label the form does not refer to
    const char* spoken;  // what a screen reader says
    Kind kind;
    QRect geometry;
    const char* caption;
    int tabOrder;                  // -1: no tab stop
    const char* labelFor = "";     // the control a label is the own name of
    const char* description = "";  // the heading said after the control's own name
    friend void PrintTo(const DesignedControl& c, std::ostream* os) { *os << (*c.name ? c.name : c.caption); }
};

const char* const headline = "Die eingegebenen Zahlen müssen im Bereich zwischen 1-49 liegen";

const DesignedControl singleControls[] = {
    {"", "Gewinn", Kind::Label, {88, 312, 36, 13}, "Gewinn", -1},
    {"Label2", "Fehler", Kind::Label, {88, 376, 29, 13}, "Fehler", -1},
    {"", "Tippeingabe ", Kind::Label, {88, 32, 62, 13}, "Tippeingabe ", -1},
    {"", "Ziehung", Kind::Label, {232, 32, 39, 13}, "Ziehung", -1},
    {"", "Zusatzzahl", Kind::Label, {312, 32, 51, 13}, "Zusatzzahl", -1, "Zahl7"},
    {"Label1", "Zahleneingabe für Faule", Kind::Label, {472, 16, 115, 13}, "Zahleneingabe für Faule", -1},
    {"", headline, Kind::Label, {72, 0, 321, 17}, headline, -1},
    {"Button1", "Ziehung", Kind::Button, {416, 248, 249, 49}, "Ziehung", 0},
    {"EditGewinn", "Gewinn: Anzahl Treffer", Kind::Edit, {88, 328, 41, 21}, "", 1, "", "Gewinn"},
    {"EditZusatz", "Zusatzzahl getroffen", Kind::Edit, {136, 328, 145, 21}, "", 2},
    {"EditBereich", "Fehler: Bereich", Kind::Edit, {88, 392, 193, 21}, "", 3, "", "Fehler"},
    {"EditDoppelt", "Fehler: doppelte Zahl", Kind::Edit, {88, 416, 193, 21}, "", 4},
    {"BitBtn1", "Schließen", Kind::CloseButton, {416, 408, 249, 25}, "Schließen", 5},
    {"Button3", "Doppelte Zahlen", Kind::Button, {472, 80, 193, 25}, "Doppelte Zahlen", 6},
    {"Button4",
     "Zahl nicht im Tippscheinbereich",
     Kind::Button,
     {472, 112, 193, 25},
     "Zahl nicht im Tippscheinbereich",
     7},
    {"Button5", "\"Beides\"", Kind::Button, {472, 144, 193, 25}, "\"Beides\"", 8},
    {"Button6",
     "\"Zufallszahlen\"",
     Kind::Button,
     {472, 48, 193, 25},
     "\"Zufallszahlen\"",
     9,
     "",
     "Zahleneingabe für Faule"},
    {"Button7", "Tippschein löschen!", Kind::Button, {416, 312, 249, 33}, "Tippschein löschen!", 10},
    {"Zahl7", "Zusatzzahl", Kind::Edit, {320, 56, 41, 21}, "", 23},
};

// The six rows of the ticket and the draw beside it, 32 pixels apart: Tipp k
// ("Tipp k") at the left, Zahl k ("Ziehung k") in the middle, the first of
// each under its column's heading.
std::vector<DesignedControl> withTheSixRows()
{
    static std::deque<std::string> words;  // the rows' names, where the table's pointers stay valid
    std::vector<DesignedControl> rows(std::begin(singleControls), std::end(singleControls));
    for (int k = 0; k < 6; ++k) {
        const std::string number = std::to_string(k + 1);
        const int top = 56 + 32 * k;
        for (const auto& [name, spoken, left, tab, heading] : {std::tuple{"Tipp", "Tipp ", 96, 11, "Tippeingabe "},
                                                               std::tuple{"Zahl", "Ziehung ", 232, 17, "Ziehung"}}) {
            const char* named = words.emplace_back(name + number).c_str();
            const char* said = words.emplace_back(spoken + number).c_str();
            rows.push_back({named, said, Kind::Edit, {left, top, 41, 21}, "", tab + k, "", k == 0 ? heading : ""});
        }
    }
    return rows;
}

const std::vector<DesignedControl> designedControls = withTheSixRows();

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

class DesignedLayout : public WindowTest, public ::testing::WithParamInterface<DesignedControl> {};

TEST_P(DesignedLayout, ControlHasItsKindPlaceCaptionAndState)
{
    const DesignedControl& designed = GetParam();
    QWidget* widget = control(window, designed.name, designed.caption);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), window);
    EXPECT_EQ(widget->pos(), designed.geometry.topLeft());
    EXPECT_EQ(widget->objectName().toStdString(), designed.name);
    EXPECT_EQ(widget->accessibleName().toStdString(), designed.spoken) << "what a screen reader says";
    EXPECT_EQ(widget->accessibleDescription().toStdString(), designed.description) << "said after the name";

    switch (designed.kind) {
    case Kind::Label: {
        auto* label = qobject_cast<QLabel*>(widget);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), designed.caption);
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        const QWidget* labelled = label->buddy();
        EXPECT_EQ(labelled ? labelled->objectName().toStdString() : "", designed.labelFor);
        EXPECT_TRUE(label->alignment() & Qt::AlignTop) << "the text sits at the top, as designed";
        if (designed.caption == headline) {
            EXPECT_EQ(label->size(), designed.geometry.size()) << "the headline keeps its designed size";
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), designed.geometry.width() - 2)
                << "the headline's whole text fits, with room to spare";
        } else {
            EXPECT_EQ(label->size(), label->sizeHint()) << "labels size themselves to their text";
            EXPECT_NEAR(label->width(), designed.geometry.width(), 2) << "in the designed font's width";
            EXPECT_NEAR(label->height(), designed.geometry.height(), 2) << "and height";
        }
        break;
    }
    case Kind::Edit: {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->size(), designed.geometry.size());
        EXPECT_EQ(edit->text(), "");
        EXPECT_FALSE(edit->isReadOnly());
        break;
    }
    case Kind::Button:
    case Kind::CloseButton: {
        auto* button = qobject_cast<QPushButton*>(widget);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->size(), designed.geometry.size());
        EXPECT_EQ(button->text().toStdString(), designed.caption);
        if (!button->hasFocus()) {
            EXPECT_FALSE(button->isDefault()) << "no button is the window's default";
        }
        EXPECT_EQ(button->icon().isNull(), designed.kind != Kind::CloseButton);
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()) + button->iconSize().width(),
                  button->width() - 8)
            << "the caption fits inside the button's frame";
        break;
    }
    }
}

// Each row is named after its control; a label the form does not refer to, after its first word.
std::string rowName(const DesignedControl& designed)
{
    if (*designed.name)
        return designed.name;
    if (designed.caption == headline)
        return "HeadlineLabel";
    std::string word;
    for (const char* letter = designed.caption; std::isalnum(static_cast<unsigned char>(*letter)); ++letter)
        word += *letter;
    return word + "Label";
}

INSTANTIATE_TEST_SUITE_P(Form1, DesignedLayout, ::testing::ValuesIn(designedControls), [](const auto& info) {
    return rowName(info.param);
});

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
    EXPECT_EQ(window->findChildren<QWidget*>().size(), designedControls.size());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(WindowTest, TabWalksTheDesignedOrderFromZiehung)
{
    EXPECT_EQ(window->focusWidget(), window->findChild<QWidget*>("Button1"));

    std::vector<std::pair<int, std::string>> byTab;
    for (const DesignedControl& designed : designedControls) {
        if (designed.tabOrder >= 0)
            byTab.emplace_back(designed.tabOrder, designed.name);
    }
    std::sort(byTab.begin(), byTab.end());

    QWidget* current = window->findChild<QWidget*>("Button1");
    for (std::size_t k = 1; k < byTab.size(); ++k) {
        do
            current = current->nextInFocusChain();
        while (!(current->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(current->objectName().toStdString(), byTab[k].second) << "tab stop " << k;
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
    for (const DesignedControl& designed : designedControls) {
        if (designed.kind == Kind::Edit) {
            EXPECT_EQ(field(designed.name), "") << designed.name;
        }
    }
}

// Every marked field as the player sees and hears it: its text in bold on the
// mark's ground, and what is said after its name, which a mark never changes.
std::map<std::string, std::string> shownMarks(QWidget* window)
{
    std::map<std::string, std::string> marked;
    for (const DesignedControl& designed : designedControls) {
        if (designed.kind != Kind::Edit)
            continue;
        auto* edit = window->findChild<QLineEdit*>(designed.name);
        const bool bold = edit->font().bold();
        const bool ground = edit->palette().color(QPalette::Base) != window->palette().color(QPalette::Base);
        EXPECT_EQ(bold, ground) << designed.name << ": bold only on the mark's ground";
        EXPECT_EQ(edit->accessibleName().toStdString(), designed.spoken) << "a mark keeps the name";
        const std::string description = edit->accessibleDescription().toStdString();
        if (bold)
            marked[designed.name] = description;
        else
            EXPECT_EQ(description, designed.description) << designed.name << ": no mark said";
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
    };
    typeTicketAndDraw();
    ASSERT_EQ(field("Tipp3"), "10");
    EXPECT_EQ(shownMarks(window), hits) << "3 and 44 on both sides, the bonus number 10 on both";
    const QImage marked = window->findChild<QLineEdit*>("Tipp1")->grab().toImage();
    const QImage plain = window->findChild<QLineEdit*>("Tipp2")->grab().toImage();
    EXPECT_NE(marked.pixelColor(0, marked.height() / 2), plain.pixelColor(0, plain.height() / 2)) << "a frame";

    QTest::keyClicks(window->findChild<QLineEdit*>("Tipp1"), "1");  // typed by the player
    auto withoutTipp1 = hits;
    withoutTipp1.erase("Tipp1");
    EXPECT_EQ(shownMarks(window), withoutTipp1);
    click(window, "Button7");
    EXPECT_EQ(shownMarks(window), (std::map<std::string, std::string>{})) << "Tippschein löschen!";

    typeTicketAndDraw();
    click(window, "Button3");  // a ticket of its own
    EXPECT_EQ(shownMarks(window),
              (std::map<std::string, std::string>{
                  {"Zahl1", "Treffer, Ziehung"}, {"Zahl6", "Treffer"}, {"Zahl7", "Zusatzzahl getroffen"}}))
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
