#include "Unit1.h"

#include "Announcement.h"
#include "Combination.h"
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "FormFieldStore.h"
#include "GermanNumbers.h"
#include "Hits.h"
#include "Lottery.h"
#include "NumberGrid.h"
#include "Simulation.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

TForm1* Form1 = nullptr;

namespace {

using K = ControlKind;
using L = LabelRole;

// Labels that size themselves give the width and height of their text in the
// designed font; the positions are what counts. The spoken name is what a
// screen reader announces (empty: the caption). A label is the own name of
// the control it stands by, or the heading of that control's column or group:
// the fields under a heading have names of their own ("Tipp 1", "Ziehung 1").
// clang-format off
const ControlDefinition form1Controls[] = {
    // name         kind            left  top  width height caption                            spoken name              label for                   tab  auto size      click
    {"",            K::Label,       {88,  312,  36, 13}, "Gewinn",                           "",                      {"EditGewinn", L::Heading},  noTabStop, AutoSize::Yes},
    {"Label2",      K::Label,       {88,  376,  29, 13}, "Fehler",                           "",                      {"EditBereich", L::Heading}, noTabStop, AutoSize::Yes},
    {"",            K::Label,       {88,   32,  62, 13}, "Tippeingabe ",                     "",                      {"Tipp1", L::Heading},       noTabStop, AutoSize::Yes},
    {"",            K::Label,       {232,  32,  39, 13}, "Ziehung",                          "",                      {"Zahl1", L::Heading},       noTabStop, AutoSize::Yes},
    {"",            K::Label,       {312,  32,  51, 13}, "Zusatzzahl",                       "",                      {"Zahl7", L::OwnName},       noTabStop, AutoSize::Yes},
    {"Label1",      K::Label,       {472,  16, 115, 13}, "Zahleneingabe für Faule",          "",                      {"Button6", L::Heading},     noTabStop, AutoSize::Yes},
    {"",            K::Label,       {72,    0, 321, 17}, "Die eingegebenen Zahlen müssen im Bereich zwischen 1-49 liegen", "", {}, noTabStop, AutoSize::No},
    {"Button1",     K::Button,      {416, 248, 249, 49}, "Ziehung",                          "",                      {},             0, AutoSize::No, handler(&TForm1::Button1Click)},
    {"EditGewinn",  K::Edit,        {88,  328,  41, 21}, "",                                 "Gewinn: Anzahl Treffer", {},            1},
    {"EditZusatz",  K::Edit,        {136, 328, 145, 21}, "",                                 "Zusatzzahl getroffen",  {},             2},
    {"EditBereich", K::Edit,        {88,  392, 193, 21}, "",                                 "Fehler: Bereich",       {},             3},
    {"EditDoppelt", K::Edit,        {88,  416, 193, 21}, "",                                 "Fehler: doppelte Zahl", {},             4},
    {"BitBtn1",     K::CloseButton, {416, 408, 249, 25}, "Schließen",                        "",                      {},             5},
    {"Button3",     K::Button,      {472,  80, 193, 25}, "Doppelte Zahlen",                  "",                      {},             6, AutoSize::No, handler(&TForm1::Button3Click)},
    {"Button4",     K::Button,      {472, 112, 193, 25}, "Zahl nicht im Tippscheinbereich",  "",                      {},             7, AutoSize::No, handler(&TForm1::Button4Click)},
    {"Button5",     K::Button,      {472, 144, 193, 25}, "\"Beides\"",                       "",                      {},             8, AutoSize::No, handler(&TForm1::Button5Click)},
    {"Button6",     K::Button,      {472,  48, 193, 25}, "\"Zufallszahlen\"",                "",                      {},             9, AutoSize::No, handler(&TForm1::Button6Click)},
    {"Button7",     K::Button,      {416, 312, 249, 33}, "Tippschein löschen!",              "",                      {},            10, AutoSize::No, handler(&TForm1::Button7Click)},
    {"Tipp1",       K::Edit,        {96,   56,  41, 21}, "",                                 "Tipp 1",                {},            11},
    {"Tipp2",       K::Edit,        {96,   88,  41, 21}, "",                                 "Tipp 2",                {},            12},
    {"Tipp3",       K::Edit,        {96,  120,  41, 21}, "",                                 "Tipp 3",                {},            13},
    {"Tipp4",       K::Edit,        {96,  152,  41, 21}, "",                                 "Tipp 4",                {},            14},
    {"Tipp5",       K::Edit,        {96,  184,  41, 21}, "",                                 "Tipp 5",                {},            15},
    {"Tipp6",       K::Edit,        {96,  216,  41, 21}, "",                                 "Tipp 6",                {},            16},
    {"Zahl1",       K::Edit,        {232,  56,  41, 21}, "",                                 "Ziehung 1",             {},            17},
    {"Zahl2",       K::Edit,        {232,  88,  41, 21}, "",                                 "Ziehung 2",             {},            18},
    {"Zahl3",       K::Edit,        {232, 120,  41, 21}, "",                                 "Ziehung 3",             {},            19},
    {"Zahl4",       K::Edit,        {232, 152,  41, 21}, "",                                 "Ziehung 4",             {},            20},
    {"Zahl5",       K::Edit,        {232, 184,  41, 21}, "",                                 "Ziehung 5",             {},            21},
    {"Zahl6",       K::Edit,        {232, 216,  41, 21}, "",                                 "Ziehung 6",             {},            22},
    {"Zahl7",       K::Edit,        {320,  56,  41, 21}, "",                                 "Zusatzzahl",            {},            23},
};
// clang-format on

constexpr std::string_view ticketFields[] = {"Tipp1", "Tipp2", "Tipp3", "Tipp4", "Tipp5", "Tipp6"};
constexpr std::string_view drawFields[] = {"Zahl1", "Zahl2", "Zahl3", "Zahl4", "Zahl5", "Zahl6", "Zahl7"};
constexpr std::string_view resultFields[] = {"EditGewinn", "EditZusatz", "EditBereich", "EditDoppelt"};

// The grid as on the paper ticket: the game's numbers, seven to a row.
const TicketDefinition form1Ticket = {
    .fields = ticketFields,
    .play = "Button1",
    .draw = drawFields,
    .bonus = "Zahl7",
    .result = resultFields,
    .outcome = "EditGewinn",
    .lowest = lotto::lowestNumber,
    .highest = lotto::highestNumber,
    .perRow = 7,
    .spokenName = "Tippschein",
    .onTap = handler(&TForm1::NumberGridTap),
};

// How a field that hit looks and what it says after its name: a main
// number's hit is solid, the bonus number's dashed (FormFieldStore).
const MarkDefinition form1Marks[] = {
    {MarkLook::Solid, "Treffer"},                // a main number, drawn and on the ticket
    {MarkLook::Dashed, "Zusatzzahl getroffen"},  // the bonus number, on the ticket
};

// "Wie lange bis …?": the goals of a run and the combinations it counts,
// from the highest, as the commands name them.
constexpr auto playOnGoals = [] {
    std::array<std::string_view, lotto::playGoalCount> texts{};
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts.at(k) = lotto::playGoals.at(k).text;
    return texts;
}();
constexpr auto playOnRows = [] {
    std::array<std::string_view, lotto::combinationCount> names{};
    for (std::size_t k = 0; k < names.size(); ++k)
        names.at(k) = lotto::combinationName(lotto::combinationsHighestFirst.at(k));
    return names;
}();
constexpr std::string_view playOnColumns[] = {"Ergebnis", "gesehen", "erwartet"};

const TaskDefinition form1PlayOn = {
    .name = "WieLange",
    .heading = "Wie lange bis …?",
    .choice = "Ziel",
    .choices = playOnGoals,
    .start = "Spielen",
    .stop = "Abbrechen",
    .progress = "Fortschritt",
    .table = "Ergebnisse der Ziehungen: gesehen und erwartet",
    .columns = playOnColumns,
    .rows = playOnRows,
    .onStart = handler(&TForm1::PlayOnStart),
    .onSlice = handler(&TForm1::PlayOnSlice),
    .onStop = handler(&TForm1::PlayOnStop),
};

}  // namespace

// clang-format off
const FormDefinition form1Definition = {
    "Form1",
    "Form1",
    {241, 107, 696, 480},
    {"MS Sans Serif", 11},  // 8 pt at 96 dpi
    form1Controls,
    &form1Ticket,
    form1Marks,
    &form1PlayOn,
};
// clang-format on

TForm1::TForm1() : TForm(form1Definition)
{
    // The fields may hold what the player typed before the program ran.
    ShowNumberGrid();
}

void TForm1::Button1Click()
{
    FormFieldStore fields(*this);
    // Before the command too: a draw that ends at an error never reaches the line below.
    fields.showMarks({});
    lotto::drawCommand(fields);
    fields.showMarks(lotto::hitMarks(fields));
    Outcome().SetDescription(lotto::combinationAnnouncement(fields));
    Announce(lotto::resultAnnouncement(fields));
}

void TForm1::Button6Click()
{
    FormFieldStore fields(*this);
    lotto::randomTicketCommand(fields);
    Announce(lotto::ticketAnnouncement(fields));
}

void TForm1::Button3Click()
{
    FormFieldStore fields(*this);
    lotto::duplicateExampleCommand(fields);
    Announce(lotto::ticketAnnouncement(fields));
}

void TForm1::Button4Click()
{
    FormFieldStore fields(*this);
    lotto::rangeExampleCommand(fields);
    Announce(lotto::ticketAnnouncement(fields));
}

void TForm1::Button5Click()
{
    FormFieldStore fields(*this);
    lotto::bothExampleCommand(fields);
    Announce(lotto::ticketAnnouncement(fields));
}

void TForm1::Button7Click()
{
    FormFieldStore fields(*this);
    lotto::clearCommand(fields);
    Announce(lotto::ticketAnnouncement(fields));
}

void TForm1::NumberGridTap(int number)
{
    FormFieldStore fields(*this);
    const lotto::GridTap tap = lotto::gridTapCommand(fields, number);
    m_gridNote = lotto::gridTapAnnouncement(tap, number);
    Announce(m_gridNote);
}

void TForm1::InputHandled()
{
    // The result in words goes with the match count's text (TEdit); until
    // then it follows the fields, whichever the player changes.
    if (!Outcome().Description().empty())
        Outcome().SetDescription(lotto::combinationAnnouncement(FormFieldStore(*this)));
    ShowNumberGrid();
}

TEdit& TForm1::Outcome() const
{
    return Component<TEdit>(form1Ticket.outcome);
}

void TForm1::ShowNumberGrid()
{
    const std::string note = std::exchange(m_gridNote, {});
    if (!NumberGrid().Offered())
        return;
    FormFieldStore fields(*this);
    const lotto::NumberGridState state = lotto::numberGridState(fields, fields.marks());
    std::array<Backend::GridNumber, std::tuple_size_v<lotto::NumberGridState>> shown;
    std::transform(state.begin(), state.end(), shown.begin(), [&](const lotto::GridNumber& number) {
        return Backend::GridNumber{number.chosen, fields.shown(number.mark)};
    });
    NumberGrid().Show(shown, note);
}

void TForm1::PlayOnStart(int goal)
{
    TaskPart().ShowNote({});
    FormFieldStore fields(*this);
    m_run = lotto::startSimulation(fields, lotto::playGoals.at(static_cast<std::size_t>(goal)));
    if (!m_run) {
        TaskPart().ShowNote("Nicht gespielt: " + lotto::resultAnnouncement(fields));
        return;
    }
    ShowPlayOn();
    TaskPart().Run();
}

bool TForm1::PlayOnSlice(std::int64_t draws)
{
    const bool done = m_run->play(draws);
    ShowPlayOn();
    if (done)
        TaskPart().ShowNote(m_run->summary());
    return done;
}

void TForm1::PlayOnStop()
{
    ShowPlayOn();
    TaskPart().ShowNote(m_run->summary());
}

// A run until a combination comes has no known end: under way while it
// runs, full once the combination came, empty where the player stopped it.
void TForm1::ShowPlayOn()
{
    const lotto::Simulation& run = *m_run;
    std::optional<double> share = run.progress();
    if (!share && (run.done() || !TaskPart().Running()))
        share = run.done() ? 1.0 : 0.0;
    TaskPart().ShowProgress(share, lotto::drawsAndDurationText(run.draws()));
    for (std::size_t row = 0; row < playOnRows.size(); ++row) {
        const lotto::Combination combination = lotto::combinationsHighestFirst.at(row);
        TaskPart().ShowCell(static_cast<int>(row), 0, lotto::groupedNumber(run.seen(combination)));
        TaskPart().ShowCell(static_cast<int>(row), 1, lotto::approximateNumber(run.expected(combination)));
    }
}
