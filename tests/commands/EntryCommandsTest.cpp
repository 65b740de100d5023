// Guards the entry aids and the clear button: which fields each writes, in which
// order, and that a random ticket is one that the next draw accepts.
#include "DrawCommand.h"
#include "EntryCommands.h"
#include "MemoryFieldStore.h"
#include "NumberGrid.h"
#include "NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>

namespace lotto {
namespace {

using testing::RecordingFieldStore;
using Texts = std::array<std::string, ticketSize>;

void fillEveryField(RecordingFieldStore& fields)
{
    for (FieldId field : allFields)
        fields.setText(field, "old " + std::string(fieldName(field)));
    fields.forgetWrites();
}

std::vector<FieldId> ticketFields()
{
    std::vector<FieldId> result;
    for (int i = 0; i < ticketSize; ++i)
        result.push_back(ticketField(i));
    return result;
}

struct ExampleCase {
    const char* name;
    std::function<void(FieldStore&)> command;
    Texts ticket;
    bool outOfRange;
    bool duplicate;
    friend void PrintTo(const ExampleCase& c, std::ostream* os) { *os << c.name; }
};

class ExampleTickets : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(ExampleTickets, WriteTheSixTextsInFieldOrderAndNothingElse)
{
    RecordingFieldStore fields;
    fillEveryField(fields);
    GetParam().command(fields);

    EXPECT_EQ(fields.writtenFields(), ticketFields());
    for (int i = 0; i < ticketSize; ++i)
        EXPECT_EQ(fields[ticketField(i)], GetParam().ticket[i]);
    for (FieldId field : allFields) {
        if (field < FieldId::Tipp1 || field > FieldId::Tipp6) {
            EXPECT_EQ(fields[field], "old " + std::string(fieldName(field))) << "earlier texts stay visible";
        }
    }
}

TEST_P(ExampleTickets, TripTheirFindingOnTheNextDraw)
{
    RecordingFieldStore fields;
    GetParam().command(fields);
    RandomSource random;
    drawCommand(fields, random);
    EXPECT_EQ(fields[FieldId::EditBereich], GetParam().outOfRange ? outOfRangeText : "");
    EXPECT_EQ(fields[FieldId::EditDoppelt], GetParam().duplicate ? duplicateText : "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands,
    ExampleTickets,
    ::testing::Values(ExampleCase{"Duplicate", duplicateExampleCommand, {"15", "3", "25", "44", "3", "9"}, false, true},
                      ExampleCase{"Range", rangeExampleCommand, {"9", "6", "23", "140", "2", "33"}, true, false},
                      ExampleCase{"Both", bothExampleCommand, {"9", "6", "23", "140", "6", "33"}, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClearCommand, EmptiesAllSeventeenFieldsResultsFirst)
{
    RecordingFieldStore fields;
    fillEveryField(fields);
    clearCommand(fields);

    const std::vector<FieldId> expectedOrder = {
        FieldId::EditGewinn, FieldId::EditZusatz, FieldId::EditBereich, FieldId::EditDoppelt, FieldId::Zahl1,
        FieldId::Zahl2,      FieldId::Zahl3,      FieldId::Zahl4,       FieldId::Zahl5,       FieldId::Zahl6,
        FieldId::Zahl7,      FieldId::Tipp1,      FieldId::Tipp2,       FieldId::Tipp3,       FieldId::Tipp4,
        FieldId::Tipp5,      FieldId::Tipp6,
    };
    EXPECT_EQ(fields.writtenFields(), expectedOrder);
    for (FieldId field : allFields)
        EXPECT_EQ(fields[field], "") << fieldName(field);
}

TEST(ClearCommand, NextDrawFailsOnTheEmptyFirstField)
{
    RecordingFieldStore fields;
    duplicateExampleCommand(fields);
    clearCommand(fields);
    RandomSource random;
    EXPECT_THROW(drawCommand(fields, random), ConversionError);
}

struct GridCase {
    const char* name;
    Texts before;
    LotteryNumber tapped;
    GridTap outcome;
    Texts after;
    std::vector<int> chosenAfter;  // ascending
    friend void PrintTo(const GridCase& c, std::ostream* os) { *os << c.name; }
};

class GridTaps : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridTaps, ChangeTheTicketAsAPaperTicketWould)
{
    const GridCase& c = GetParam();
    RecordingFieldStore fields;
    fillEveryField(fields);
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), c.before[i]);
    fields.forgetWrites();

    EXPECT_EQ(gridTapCommand(fields, c.tapped), c.outcome);
    for (int i = 0; i < ticketSize; ++i)
        EXPECT_EQ(fields[ticketField(i)], c.after[i]) << "Tipp" << i + 1;
    for (const auto& write : fields.writes())
        EXPECT_TRUE(write.field >= FieldId::Tipp1 && write.field <= FieldId::Tipp6) << "only the ticket changes";
    if (c.outcome == GridTap::TicketFull) {
        EXPECT_TRUE(fields.writes().empty());
    }

    const ChosenNumbers chosen = chosenNumbers(fields);
    std::vector<int> shown;
    for (int n = 0; n <= highestNumber; ++n) {
        if (chosen.test(static_cast<std::size_t>(n)))
            shown.push_back(n);
    }
    EXPECT_EQ(shown, c.chosenAfter);

    const std::string said = gridTapAnnouncement(c.outcome, c.tapped);
    EXPECT_EQ(said.empty(), c.outcome != GridTap::TicketFull) << "only a tap that changed nothing says why";
    if (c.outcome == GridTap::TicketFull) {
        EXPECT_NE(said.find(std::to_string(c.tapped)), std::string::npos) << said;
    }
}

INSTANTIATE_TEST_SUITE_P(Tickets,
                         GridTaps,
                         ::testing::Values(GridCase{"IntoTheFirstEmptyField",
                                                    {"5", "", "7", "", "", ""},
                                                    12,
                                                    GridTap::Chosen,
                                                    {"5", "12", "7", "", "", ""},
                                                    {5, 7, 12}},
                                           GridCase{"AChosenNumberEmptiesItsField",
                                                    {"5", "12", "7", "", "", ""},
                                                    12,
                                                    GridTap::Unchosen,
                                                    {"5", "", "7", "", "", ""},
                                                    {5, 7}},
                                           GridCase{"ChosenHoweverWrittenAndEmptiedEverywhere",
                                                    {" 07", "3", "7", "", "", ""},
                                                    7,
                                                    GridTap::Unchosen,
                                                    {"", "3", "", "", "", ""},
                                                    {3}},
                                           GridCase{"ASeventhTapChangesNothing",
                                                    {"1", "2", "3", "4", "5", "49"},
                                                    7,
                                                    GridTap::TicketFull,
                                                    {"1", "2", "3", "4", "5", "49"},
                                                    {1, 2, 3, 4, 5, 49}},
                                           GridCase{"ARepeatIsNoChoice",
                                                    {"15", "3", "25", "44", "3", "9"},
                                                    8,
                                                    GridTap::Chosen,
                                                    {"15", "3", "25", "44", "8", "9"},
                                                    {3, 8, 9, 15, 25, 44}},
                                           GridCase{"ANumberOffTheGridIsNoChoice",
                                                    {"9", "6", "23", "140", "0", "33"},
                                                    40,
                                                    GridTap::Chosen,
                                                    {"9", "6", "23", "40", "0", "33"},
                                                    {6, 9, 23, 33, 40}},
                                           GridCase{"TextThatIsNoNumberIsNoChoice",
                                                    {"1", "2", "x", "4", "5", "6"},
                                                    49,
                                                    GridTap::Chosen,
                                                    {"1", "2", "49", "4", "5", "6"},
                                                    {1, 2, 4, 5, 6, 49}}),
                         [](const auto& info) { return std::string(info.param.name); });

class RandomTicketTest : public ::testing::Test {
protected:
    std::string run()
    {
        ::testing::internal::CaptureStdout();
        randomTicketCommand(fields, random);
        return ::testing::internal::GetCapturedStdout();
    }
    RecordingFieldStore fields;
    RandomSource random;
};

TEST_F(RandomTicketTest, ShowsTheFirstSixOfADrawUnsortedAndTracesAllSeven)
{
    fillEveryField(fields);
    const std::string trace = run();

    // The first draw of the unseeded generator, in the order drawn.
    const Texts expected = {"44", "36", "16", "37", "3", "21"};
    for (int i = 0; i < ticketSize; ++i)
        EXPECT_EQ(fields[ticketField(i)], expected[i]);
    EXPECT_EQ(trace,
              "44361637321"
              "10");
    EXPECT_EQ(fields.writtenFields(), ticketFields()) << "no other field changes";
}

TEST_F(RandomTicketTest, IsAlwaysATicketThatTheNextDrawAccepts)
{
    ::testing::internal::CaptureStdout();
    for (int round = 0; round < 500; ++round) {
        randomTicketCommand(fields, random);
        std::set<LotteryNumber> numbers;
        for (int i = 0; i < ticketSize; ++i) {
            const LotteryNumber n = parseNumber(fields[ticketField(i)]);
            EXPECT_GE(n, lowestNumber);
            EXPECT_LE(n, highestNumber);
            numbers.insert(n);
        }
        EXPECT_EQ(numbers.size(), 6u);
        drawCommand(fields, random);
        ASSERT_EQ(fields[FieldId::EditBereich], "");
        ASSERT_EQ(fields[FieldId::EditDoppelt], "");
        ASSERT_NE(fields[FieldId::EditGewinn], "");
    }
    ::testing::internal::GetCapturedStdout();
}

TEST_F(RandomTicketTest, MovesTheSharedSequenceOnForTheNextDraw)
{
    run();
    RandomSource fresh;
    RandomSource skipped;
    ::testing::internal::CaptureStdout();
    drawSeven(skipped);
    const DrawResult expectedNext = drawSeven(skipped);
    const DrawResult next = drawSeven(random);
    const DrawResult firstDraw = drawSeven(fresh);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(next, expectedNext);
    EXPECT_NE(next, firstDraw);
}

}  // namespace
}  // namespace lotto
