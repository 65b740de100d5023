// Guards the rules of the game: the ticket check, both sorts, the draw with its
// trace and its fixed sequence from the unseeded generator, and the evaluation.
#include "Lottery.h"
#include "RandomSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lotto {
namespace {

// ---- checkTicket ------------------------------------------------------------

struct CheckCase {
    const char* name;
    Ticket ticket;
    TicketCheck expected;
    friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
};

class CheckTicketTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckTicketTest, SetsExactlyTheExpectedFlags)
{
    EXPECT_EQ(checkTicket(GetParam().ticket), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Tickets,
                         CheckTicketTest,
                         ::testing::Values(CheckCase{"GoodTicketWithBothBounds", {1, 2, 3, 4, 5, 49}, {false, false}},
                                           CheckCase{"ZeroIsOutOfRange", {0, 2, 3, 4, 5, 6}, {true, false}},
                                           CheckCase{"FiftyIsOutOfRange", {1, 2, 3, 4, 5, 50}, {true, false}},
                                           CheckCase{"NegativeIsOutOfRange", {1, 2, -3, 4, 5, 6}, {true, false}},
                                           CheckCase{"OutOfRangeInTheMiddle", {9, 6, 23, 140, 2, 33}, {true, false}},
                                           CheckCase{"LowestInt", {1, 2, 3, 4, 5, INT32_MIN}, {true, false}},
                                           CheckCase{"DuplicateFirstAndLast", {7, 2, 3, 4, 5, 7}, {false, true}},
                                           CheckCase{"DuplicateNeighboursAtTheEnd", {1, 2, 3, 4, 8, 8}, {false, true}},
                                           CheckCase{"DuplicateInTheMiddle", {15, 3, 25, 44, 3, 9}, {false, true}},
                                           CheckCase{"BothFindings", {9, 6, 23, 140, 6, 33}, {true, true}},
                                           CheckCase{"DuplicateOutOfRangePair", {140, 2, 3, 4, 140, 6}, {true, true}},
                                           CheckCase{"AllTheSame", {5, 5, 5, 5, 5, 5}, {false, true}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckTicket, ExaminesEveryPair)
{
    for (int i = 0; i < ticketSize; ++i) {
        for (int j = i + 1; j < ticketSize; ++j) {
            Ticket ticket = {10, 20, 30, 40, 45, 49};
            ticket[j] = ticket[i];
            EXPECT_TRUE(checkTicket(ticket).duplicate) << "pair " << i << "," << j;
            EXPECT_FALSE(checkTicket(ticket).outOfRange);
        }
    }
}

// ---- quickSort --------------------------------------------------------------

TEST(QuickSort, SortsTheTicketOfTheExample)
{
    Ticket ticket = {15, 3, 25, 44, 7, 9};
    quickSort(ticket, 0, 5);
    EXPECT_EQ(ticket, (Ticket{3, 7, 9, 15, 25, 44}));
}

TEST(QuickSort, SortedAndReversedInputComeOutAscending)
{
    Ticket sorted = {1, 2, 3, 4, 5, 6};
    quickSort(sorted, 0, 5);
    EXPECT_EQ(sorted, (Ticket{1, 2, 3, 4, 5, 6}));
    Ticket reversed = {49, 40, 30, 20, 10, 1};
    quickSort(reversed, 0, 5);
    EXPECT_EQ(reversed, (Ticket{1, 10, 20, 30, 40, 49}));
}

TEST(QuickSort, LeavesAnEmptyRangeAlone)
{
    std::vector<LotteryNumber> none;
    quickSort(none, 0, -1);
    Ticket ticket = {15, 3, 25, 44, 7, 9};
    quickSort(ticket, 0, -1);
    EXPECT_EQ(ticket, (Ticket{15, 3, 25, 44, 7, 9}));
}

TEST(QuickSort, AgreesWithStdSortOnRandomRangesWithDuplicates)
{
    std::mt19937 generator(12345);
    for (int round = 0; round < 20000; ++round) {
        const int size = 1 + static_cast<int>(generator() % 12);
        const int spread = 1 + static_cast<int>(generator() % 20);  // small spreads force duplicates
        std::vector<LotteryNumber> values(size);
        for (auto& value : values)
            value = static_cast<LotteryNumber>(generator() % spread) - spread / 2;
        const int left = static_cast<int>(generator() % size);
        const int right = left - 1 + static_cast<int>(generator() % (size - left + 1));  // empty ranges too

        std::vector<LotteryNumber> expected = values;
        std::sort(expected.begin() + left, expected.begin() + right + 1);
        quickSort(values, left, right);
        ASSERT_EQ(values, expected) << "round " << round << " range " << left << ".." << right;
    }
}

TEST(QuickSort, HandlesExtremeValuesWithoutOverflow)
{
    std::vector<LotteryNumber> values = {INT32_MAX, INT32_MIN, 0, -1, INT32_MAX, INT32_MIN};
    quickSort(values, 0, 5);
    EXPECT_EQ(values, (std::vector<LotteryNumber>{INT32_MIN, INT32_MIN, -1, 0, INT32_MAX, INT32_MAX}));
}

// ---- drawSeven --------------------------------------------------------------

std::string joined(const DrawResult& draw)
{
    std::string text;
    for (LotteryNumber n : draw)
        text += std::to_string(n);
    return text;
}

TEST(DrawSeven, GivesSevenDistinctNumbersInRangeAndTracesExactlyThem)
{
    RandomSource random;
    for (int round = 0; round < 2000; ++round) {
        ::testing::internal::CaptureStdout();
        const DrawResult draw = drawSeven(random);
        const std::string trace = ::testing::internal::GetCapturedStdout();

        EXPECT_EQ(std::set<LotteryNumber>(draw.begin(), draw.end()).size(), 7u) << "round " << round;
        for (LotteryNumber n : draw) {
            EXPECT_GE(n, lowestNumber);
            EXPECT_LE(n, highestNumber);
        }
        ASSERT_EQ(trace, joined(draw)) << "round " << round;
    }
}

// The unseeded generator must give these draws on every platform and compiler.
// The fourth draw has a repeat (24 comes twice from the generator) that is redrawn.
TEST(DrawSeven, ReplaysTheFixedSequenceFromTheInitialState)
{
    const std::vector<DrawResult> expected = {
        {44, 36, 16, 37, 3, 21, 10},
        {48, 1, 33, 35, 11, 26, 8},
        {14, 43, 35, 25, 37, 34, 23},
        {32, 24, 3, 21, 22, 42, 10},
    };
    RandomSource random;
    ::testing::internal::CaptureStdout();
    for (const DrawResult& draw : expected)
        EXPECT_EQ(drawSeven(random), draw);
    ::testing::internal::GetCapturedStdout();
}

TEST(DrawSeven, TwoSourcesFromTheInitialStateAgree)
{
    RandomSource first;
    RandomSource second;
    ::testing::internal::CaptureStdout();
    for (int round = 0; round < 100; ++round)
        ASSERT_EQ(drawSeven(first), drawSeven(second));
    ::testing::internal::GetCapturedStdout();
}

#ifndef _WIN32
// A reader at the other end of a pipe sees the draw as soon as drawSeven
// returns, without waiting for the program to exit or flush on its own.
TEST(DrawSeven, HandsTheTraceToAPipeReaderWhenTheDrawIsComplete)
{
    std::fflush(stdout);
    const int savedStdout = dup(STDOUT_FILENO);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    dup2(pipeEnds[1], STDOUT_FILENO);
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);

    RandomSource random;
    const DrawResult draw = drawSeven(random);
    char buffer[64] = {};
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer - 1);

    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    ASSERT_GT(got, 0) << "nothing reached the pipe";
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(got)), joined(draw));
}
#endif

// ---- exchangeSort -----------------------------------------------------------

TEST(ExchangeSort, OrdersTheMainNumbersAndLeavesTheBonusNumber)
{
    DrawResult draw = {44, 12, 30, 7, 19, 48, 2};
    exchangeSort(draw);
    EXPECT_EQ(draw, (DrawResult{7, 12, 19, 30, 44, 48, 2}));

    DrawResult highBonus = {6, 5, 4, 3, 2, 1, 49};
    exchangeSort(highBonus);
    EXPECT_EQ(highBonus, (DrawResult{1, 2, 3, 4, 5, 6, 49}));
}

TEST(ExchangeSort, AgreesWithStdSortOnTheFirstSixOfRandomDraws)
{
    RandomSource random;
    ::testing::internal::CaptureStdout();
    for (int round = 0; round < 1000; ++round) {
        DrawResult draw = drawSeven(random);
        DrawResult expected = draw;
        std::sort(expected.begin(), expected.begin() + ticketSize);
        exchangeSort(draw);
        ASSERT_EQ(draw, expected);
    }
    ::testing::internal::GetCapturedStdout();
}

// ---- evaluate ---------------------------------------------------------------

TEST(Evaluate, CountsMainNumbersOnTheTicket)
{
    const DrawResult draw = {3, 7, 9, 15, 25, 44, 30};
    EXPECT_EQ(evaluate({3, 7, 9, 15, 25, 44}, draw), (Evaluation{6, false}));
    EXPECT_EQ(evaluate({1, 2, 4, 5, 6, 8}, draw), (Evaluation{0, false}));
    EXPECT_EQ(evaluate({1, 2, 4, 5, 6, 30}, draw), (Evaluation{0, true}));
    EXPECT_EQ(evaluate({3, 9, 44, 30, 1, 2}, draw), (Evaluation{3, true}));
}

TEST(Evaluate, BonusNumberNeverCountsAsAMatch)
{
    const DrawResult draw = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(evaluate({7, 8, 9, 10, 11, 12}, draw).matches, 0);
}

TEST(Evaluate, CountsPairsSoARepeatedTicketNumberCountsEachTime)
{
    const DrawResult draw = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(evaluate({5, 5, 5, 5, 5, 5}, draw).matches, 6);
    EXPECT_EQ(evaluate({5, 5, 9, 9, 9, 9}, draw).matches, 2);
}

}  // namespace
}  // namespace lotto
