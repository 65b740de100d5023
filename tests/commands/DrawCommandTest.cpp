// Guards what "Ziehung" does to the seventeen fields: the findings, the stop at
// the first text that is no number, the order of every write, and a full draw;
// and the ticket played on against further draws, which is checked the same way.
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "Hits.h"
#include "MemoryFieldStore.h"
#include "NumberGrid.h"
#include "NumberText.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>

namespace lotto {
namespace {

using testing::RecordingFieldStore;
using Texts = std::array<const char*, ticketSize>;

class DrawCommandTest : public ::testing::Test {
protected:
    void setTicket(const Texts& texts)
    {
        for (int i = 0; i < ticketSize; ++i)
            fields.setText(ticketField(i), texts[i]);
    }

    // Runs the command and returns what it traced on standard output.
    std::string draw()
    {
        fields.forgetWrites();
        ::testing::internal::CaptureStdout();
        try {
            drawCommand(fields, random);
        } catch (...) {
            ::testing::internal::GetCapturedStdout();
            throw;
        }
        return ::testing::internal::GetCapturedStdout();
    }

    void showEarlierResult()
    {
        for (int k = 0; k < drawSize; ++k)
            fields.setText(drawField(k), std::to_string(k + 10));
        fields.setText(FieldId::EditGewinn, "2");
        fields.setText(FieldId::EditZusatz, std::string(bonusHitText));
        fields.setText(FieldId::EditBereich, "typed by the user");
        fields.setText(FieldId::EditDoppelt, "typed as well");
    }

    std::vector<FieldId> resultAndErrorFields() const
    {
        return {FieldId::EditGewinn, FieldId::EditZusatz, FieldId::EditBereich, FieldId::EditDoppelt};
    }

    RecordingFieldStore fields;
    RandomSource random;
};

struct FindingCase {
    const char* name;
    Texts ticket;
    bool outOfRange;
    bool duplicate;
    friend void PrintTo(const FindingCase& c, std::ostream* os) { *os << c.name; }
};

class DrawCommandFindings : public DrawCommandTest, public ::testing::WithParamInterface<FindingCase> {};

TEST_P(DrawCommandFindings, ReportsTheFindingAndDrawsNothing)
{
    const FindingCase& c = GetParam();
    showEarlierResult();
    setTicket(c.ticket);

    EXPECT_EQ(draw(), "");

    EXPECT_EQ(fields[FieldId::EditBereich], c.outOfRange ? outOfRangeText : "");
    EXPECT_EQ(fields[FieldId::EditDoppelt], c.duplicate ? duplicateText : "");
    EXPECT_EQ(fields[FieldId::EditGewinn], "");
    EXPECT_EQ(fields[FieldId::EditZusatz], "");
    for (int i = 0; i < ticketSize; ++i)
        EXPECT_EQ(fields[ticketField(i)], c.ticket[i]) << "the user's text stays";
    for (int k = 0; k < drawSize; ++k)
        EXPECT_EQ(fields[drawField(k)], std::to_string(k + 10)) << "the earlier draw stays";

    std::vector<FieldId> expected = resultAndErrorFields();
    if (c.outOfRange)
        expected.push_back(FieldId::EditBereich);
    if (c.duplicate)
        expected.push_back(FieldId::EditDoppelt);
    EXPECT_EQ(fields.writtenFields(), expected);

    EXPECT_EQ(random, RandomSource()) << "no random value was used";
}

TEST_P(DrawCommandFindings, TheTicketPlayedOnGetsTheSameFindingsAndNoRun)
{
    const FindingCase& c = GetParam();
    showEarlierResult();
    setTicket(c.ticket);
    fields.forgetWrites();

    EXPECT_FALSE(startSimulation(fields, playGoals.front()));

    std::vector<FieldId> expected = {FieldId::EditBereich, FieldId::EditDoppelt};
    if (c.outOfRange)
        expected.push_back(FieldId::EditBereich);
    if (c.duplicate)
        expected.push_back(FieldId::EditDoppelt);
    EXPECT_EQ(fields.writtenFields(), expected) << "the game's result and the ticket stay";
    EXPECT_EQ(fields[FieldId::EditBereich], c.outOfRange ? outOfRangeText : "");
    EXPECT_EQ(fields[FieldId::EditDoppelt], c.duplicate ? duplicateText : "");
}

INSTANTIATE_TEST_SUITE_P(
    Tickets,
    DrawCommandFindings,
    ::testing::Values(FindingCase{"Duplicate", {"15", "3", "25", "44", "3", "9"}, false, true},
                      FindingCase{"OutOfRange", {"9", "6", "23", "140", "2", "33"}, true, false},
                      FindingCase{"Both", {"9", "6", "23", "140", "6", "33"}, true, true},
                      FindingCase{"ZeroAndNegative", {"0", "-3", "1", "2", "3", "4"}, true, false},
                      FindingCase{"DuplicateAfterNormalising", {"07", "7", "1", "2", "3", "4"}, false, true},
                      FindingCase{"LargestInteger", {"1", "2", "3", "4", "5", "2147483647"}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadTextCase {
    const char* name;
    Texts ticket;
    friend void PrintTo(const BadTextCase& c, std::ostream* os) { *os << c.name; }
};

class DrawCommandConversionError : public DrawCommandTest, public ::testing::WithParamInterface<BadTextCase> {};

TEST_P(DrawCommandConversionError, StopsAtTheFirstBadFieldWithResultsAlreadyEmpty)
{
    showEarlierResult();
    setTicket(GetParam().ticket);
    fields.forgetWrites();

    ::testing::internal::CaptureStdout();
    EXPECT_THROW(drawCommand(fields, random), ConversionError);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    EXPECT_EQ(fields.writtenFields(), resultAndErrorFields()) << "only the four fields were cleared";
    for (FieldId field : resultAndErrorFields())
        EXPECT_EQ(fields[field], "");
    for (int i = 0; i < ticketSize; ++i)
        EXPECT_EQ(fields[ticketField(i)], GetParam().ticket[i]);
    for (int k = 0; k < drawSize; ++k)
        EXPECT_EQ(fields[drawField(k)], std::to_string(k + 10));
    EXPECT_EQ(random, RandomSource()) << "no random value was used";
}

TEST_P(DrawCommandConversionError, TheTicketPlayedOnRaisesTheSameError)
{
    setTicket(GetParam().ticket);
    std::string drawn;
    std::string played;
    try {
        drawCommand(fields, random);
    } catch (const ConversionError& e) {
        drawn = e.Message();
    }
    try {
        startSimulation(fields, playGoals.front());
    } catch (const ConversionError& e) {
        played = e.Message();
    }
    EXPECT_FALSE(played.empty());
    EXPECT_EQ(played, drawn);
}

INSTANTIATE_TEST_SUITE_P(Tickets,
                         DrawCommandConversionError,
                         ::testing::Values(BadTextCase{"EmptyFirstField", {"", "2", "3", "4", "5", "6"}},
                                           BadTextCase{"LetterInTipp3", {"1", "2", "x", "4", "5", "6"}},
                                           BadTextCase{"FractionInTipp6", {"1", "2", "3", "4", "5", "6.0"}},
                                           BadTextCase{"BadTextBeforeAFinding", {"1", "1", "abc", "4", "5", "6"}},
                                           BadTextCase{"WrappingNumber", {"4294967303", "2", "3", "4", "5", "6"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawCommandTest, ConversionErrorNamesTheFirstBadText)
{
    setTicket({"1", "2", "erste", "4", "zweite", "6"});
    try {
        drawCommand(fields, random);
        FAIL() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_NE(e.Message().find("erste"), std::string::npos);
        EXPECT_EQ(e.Message().find("zweite"), std::string::npos);
    }
}

TEST_F(DrawCommandTest, GoodTicketIsSortedDrawnAndEvaluatedInFieldOrder)
{
    showEarlierResult();
    setTicket({"44", "3", "25", "15", "07", " 9"});

    const std::string trace = draw();

    const Texts sorted = {"3", "7", "9", "15", "25", "44"};
    for (int i = 0; i < ticketSize; ++i)
        EXPECT_EQ(fields[ticketField(i)], sorted[i]);

    DrawResult shown{};
    for (int k = 0; k < drawSize; ++k)
        shown[k] = parseNumber(fields[drawField(k)]);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.begin() + ticketSize));
    EXPECT_EQ(std::set<LotteryNumber>(shown.begin(), shown.end()).size(), 7u);

    // The trace is the draw in the order drawn: the first draw of the unseeded generator.
    EXPECT_EQ(trace,
              "44361637321"
              "10");
    EXPECT_EQ(shown, (DrawResult{3, 16, 21, 36, 37, 44, 10}));
    EXPECT_EQ(fields[FieldId::EditGewinn], "2");  // 3 and 44
    EXPECT_EQ(fields[FieldId::EditZusatz], "");
    EXPECT_EQ(fields[FieldId::EditBereich], "");
    EXPECT_EQ(fields[FieldId::EditDoppelt], "");

    std::vector<FieldId> expectedOrder = resultAndErrorFields();
    for (int i = 0; i < ticketSize; ++i)
        expectedOrder.push_back(ticketField(i));
    for (int k = 0; k < drawSize; ++k)
        expectedOrder.push_back(drawField(k));
    expectedOrder.push_back(FieldId::EditGewinn);
    EXPECT_EQ(fields.writtenFields(), expectedOrder) << "no bonus hit, so EditZusatz is not written again";
}

TEST_F(DrawCommandTest, ThreeMatchesAndTheBonusNumber)
{
    // First draw of the unseeded generator: 44 36 16 37 3 21, bonus 10.
    setTicket({"10", "44", "16", "3", "1", "2"});
    draw();
    EXPECT_EQ(fields[FieldId::EditGewinn], "3");
    EXPECT_EQ(fields[FieldId::EditZusatz], bonusHitText);
    EXPECT_EQ(fields.writes().back(), (RecordingFieldStore::Write{FieldId::EditZusatz, " + Zusatzzahl"}));
}

TEST_F(DrawCommandTest, NoMatchShowsZero)
{
    setTicket({"1", "2", "4", "5", "6", "7"});
    draw();
    EXPECT_EQ(fields[FieldId::EditGewinn], "0");
    EXPECT_EQ(fields[FieldId::EditZusatz], "");
}

TEST_F(DrawCommandTest, BadTicketAfterAGoodDrawKeepsTheDrawButClearsTheResult)
{
    setTicket({"10", "44", "16", "3", "1", "2"});
    draw();
    std::array<std::string, drawSize> earlierDraw;
    for (int k = 0; k < drawSize; ++k)
        earlierDraw[k] = fields[drawField(k)];

    setTicket({"9", "6", "23", "140", "6", "33"});
    draw();
    for (int k = 0; k < drawSize; ++k)
        EXPECT_EQ(fields[drawField(k)], earlierDraw[k]);
    EXPECT_EQ(fields[FieldId::EditGewinn], "");
    EXPECT_EQ(fields[FieldId::EditZusatz], "");
}

TEST_F(DrawCommandTest, EveryMatchCountAgreesWithTheShownNumbers)
{
    // Many draws against one ticket: the shown count and bonus text must agree
    // with the shown draw, whatever it is.
    for (int round = 0; round < 300; ++round) {
        setTicket({"5", "12", "19", "26", "33", "40"});
        draw();
        std::set<std::string> mainNumbers;
        for (int k = 0; k < ticketSize; ++k)
            mainNumbers.insert(fields[drawField(k)]);
        int matches = 0;
        bool bonus = false;
        for (int i = 0; i < ticketSize; ++i) {
            matches += static_cast<int>(mainNumbers.count(fields[ticketField(i)]));
            bonus = bonus || fields[ticketField(i)] == fields[FieldId::Zahl7];
        }
        ASSERT_EQ(fields[FieldId::EditGewinn], std::to_string(matches));
        ASSERT_EQ(fields[FieldId::EditZusatz], bonus ? bonusHitText : "");
    }
}

// The first draw of the unseeded generator is 3 16 21 36 37 44, bonus 10.
struct HitCase {
    const char* name;
    std::function<void(FieldStore&, RandomSource&)> play;
    std::map<FieldId, HitMark> marked;  // every other field unmarked
    std::map<int, HitMark> gridMarked;  // the ticket's grid: every other number unmarked
    friend void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }
};

class HitMarksAfterADraw : public DrawCommandTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(HitMarksAfterADraw, MarkExactlyTheFieldsThatHit)
{
    ::testing::internal::CaptureStdout();
    try {
        GetParam().play(fields, random);
    } catch (const ConversionError&) {
    }
    ::testing::internal::GetCapturedStdout();
    const HitMarks marks = hitMarks(fields);
    for (FieldId field : allFields) {
        const auto expected = GetParam().marked.find(field);
        EXPECT_EQ(markOf(marks, field), expected == GetParam().marked.end() ? HitMark::None : expected->second)
            << fieldName(field) << " holds " << fields[field];
    }
    const NumberGridState grid = numberGridState(fields, marks);
    for (int number = 0; number <= highestNumber; ++number) {
        const auto expected = GetParam().gridMarked.find(number);
        EXPECT_EQ(grid[static_cast<std::size_t>(number)].mark,
                  expected == GetParam().gridMarked.end() ? HitMark::None : expected->second)
            << number << " in the grid";
    }
}

void typeAndDraw(FieldStore& fields, RandomSource& random, const Texts& ticket)
{
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), ticket[i]);
    drawCommand(fields, random);
}

using M = HitMark;
using F = FieldId;

INSTANTIATE_TEST_SUITE_P(
    Tickets,
    HitMarksAfterADraw,
    ::testing::Values(HitCase{"TwoOnBothSides",
                              [](FieldStore& f, RandomSource& r) {
                                  typeAndDraw(f, r, {"44", "3", "25", "15", "07", "9"});
                              },
                              {{F::Tipp1, M::Main}, {F::Tipp6, M::Main}, {F::Zahl1, M::Main}, {F::Zahl6, M::Main}},
                              {{3, M::Main}, {44, M::Main}}},
                      HitCase{"TheBonusNumberWhereItStandsAfterSorting",
                              [](FieldStore& f, RandomSource& r) {
                                  typeAndDraw(f, r, {"10", "3", "25", "15", "7", "9"});
                              },
                              {{F::Tipp1, M::Main}, {F::Tipp4, M::Bonus}, {F::Zahl1, M::Main}, {F::Zahl7, M::Bonus}},
                              {{3, M::Main}, {10, M::Bonus}}},
                      HitCase{"NoHit",
                              [](FieldStore& f, RandomSource& r) {
                                  typeAndDraw(f, r, {"1", "2", "4", "5", "6", "7"});
                              },
                              {},
                              {}},
                      // A draw that ends early shows the earlier draw's numbers but no result: nothing hit.
                      HitCase{"FindingAfterAGoodDraw",
                              [](FieldStore& f, RandomSource& r) {
                                  typeAndDraw(f, r, {"44", "3", "25", "15", "7", "9"});
                                  typeAndDraw(f, r, {"3", "44", "25", "15", "3", "9"});
                              },
                              {},
                              {}},
                      HitCase{"ConversionErrorAfterAGoodDraw",
                              [](FieldStore& f, RandomSource& r) {
                                  typeAndDraw(f, r, {"44", "3", "25", "15", "7", "9"});
                                  typeAndDraw(f, r, {"44", "3", "25", "15", "7", "x"});
                              },
                              {},
                              {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DrawCommandReplay, TwoRunsFromTheInitialStateGiveIdenticalFields)
{
    auto play = [] {
        RandomSource random;
        testing::MemoryFieldStore fields;
        std::vector<std::array<std::string, fieldCount>> snapshots;
        ::testing::internal::CaptureStdout();
        for (int round = 0; round < 20; ++round) {
            if (round % 3 == 0)
                randomTicketCommand(fields, random);
            drawCommand(fields, random);
            std::array<std::string, fieldCount> snapshot;
            for (FieldId field : allFields)
                snapshot[static_cast<std::size_t>(field)] = fields[field];
            snapshots.push_back(snapshot);
        }
        return std::pair(snapshots, ::testing::internal::GetCapturedStdout());
    };
    EXPECT_EQ(play(), play());
}

TEST(DrawCommandShared, UsesTheProcessWideSourceByDefault)
{
    testing::MemoryFieldStore fields;
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), std::to_string(i + 1));
    const RandomSource before = sharedRandomSource();
    ::testing::internal::CaptureStdout();
    drawCommand(fields);
    ::testing::internal::GetCapturedStdout();
    EXPECT_NE(sharedRandomSource(), before) << "the shared source moved on";
}

// ---- the ticket played on -------------------------------------------------

// The combinations of draws from a fresh generator, counted with the engine's
// own draw and evaluation, one draw at a time.
std::array<std::int64_t, combinationCount> engineTally(const Ticket& ticket, std::int64_t draws)
{
    RandomSource own;
    std::array<std::int64_t, combinationCount> tally{};
    for (std::int64_t i = 0; i < draws; ++i) {
        const Evaluation result = evaluate(ticket, drawSevenWith(own, [](LotteryNumber) {}));
        ++tally.at(static_cast<std::size_t>(combinationOf(result.matches, result.bonusHit)));
    }
    return tally;
}

TEST_F(DrawCommandTest, TheTicketPlayedOnInSlicesTalliesTheEnginesDrawsAndLeavesTheGameAlone)
{
    setTicket({"44", "3", "25", "15", "07", "9"});
    fields.forgetWrites();
    const RandomSource game = sharedRandomSource();
    ::testing::internal::CaptureStdout();
    std::optional<Simulation> run = startSimulation(fields, playGoals.at(8));  // "10 Jahre"
    ASSERT_TRUE(run);
    run->play(1);  // 3 and 44 of the first draw: no win
    EXPECT_EQ(run->summary(), "Abgebrochen nach 1 Ziehung (0,5 Wochen): kein Gewinn bei 0,019 erwarteten.");
    for (std::int64_t slice = 2; !run->play(slice); slice = 3 * slice + 1) {
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "no simulated draw is traced";
    EXPECT_EQ(sharedRandomSource(), game) << "the game's next draw is the one it would have been";
    EXPECT_EQ(fields.writtenFields(), (std::vector<FieldId>{FieldId::EditBereich, FieldId::EditDoppelt}));

    EXPECT_EQ(run->draws(), 10 * drawsPerYear);
    EXPECT_EQ(run->progress(), 1.0);
    const auto tally = engineTally({3, 7, 9, 15, 25, 44}, run->draws());
    for (Combination combination : combinationsHighestFirst)
        EXPECT_EQ(run->seen(combination), tally.at(static_cast<std::size_t>(combination)))
            << combinationName(combination);
    EXPECT_EQ(run->summary(), "10 Jahre, 1040 Ziehungen: 24 Gewinne bei 19,4 erwarteten, der höchste 4 Richtige.");
}

// The figure that every platform must give, the browsers too; counted once
// more by the engine's own draw.
TEST(TicketPlayedOn, GivesSixRightForTheExampleTicketAfterTheStatedDraws)
{
    constexpr std::int64_t stated = 6'787'823;
    testing::MemoryFieldStore fields;
    const Texts ticket = {"44", "3", "25", "15", "7", "9"};
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), ticket[i]);
    std::optional<Simulation> run = startSimulation(fields, playGoals.front());
    ASSERT_TRUE(run);
    while (!run->play(1'000'000)) {
    }
    EXPECT_EQ(run->draws(), stated);
    EXPECT_EQ(run->summary(),
              "6 Richtige nach 6.787.823 Ziehungen (65.268 Jahre); im Mittel dauert es "
              "13.983.816 Ziehungen.");

    RandomSource own;
    std::int64_t draws = 1;
    while (evaluate({3, 7, 9, 15, 25, 44}, drawSevenWith(own, [](LotteryNumber) {})).matches < ticketSize)
        ++draws;
    EXPECT_EQ(draws, stated);
}

}  // namespace
}  // namespace lotto
