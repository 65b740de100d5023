// The rules of "6 aus 49": the number range, the ticket check, the draw of seven
// distinct numbers, the two sorts and the evaluation of a ticket against a draw.
// Pure logic over small integer arrays; it knows nothing of text fields or windows.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lotto {

class RandomSource;

using LotteryNumber = std::int32_t;

constexpr int ticketSize = 6;
constexpr int drawSize = 7;  // six main numbers and the bonus number
constexpr int bonusSlot = 6;
constexpr LotteryNumber lowestNumber = 1;
constexpr LotteryNumber highestNumber = 49;
constexpr int drawModulus = 49;

// Index 0 comes from Tipp1, index 5 from Tipp6. May hold any integer until checked.
using Ticket = std::array<LotteryNumber, ticketSize>;

// Indexes 0..5 are the main numbers, index 6 the bonus number ("Zusatzzahl").
using DrawResult = std::array<LotteryNumber, drawSize>;

struct TicketCheck {
    bool outOfRange = false;
    bool duplicate = false;

    bool passed() const { return !outOfRange && !duplicate; }
    friend bool operator==(const TicketCheck&, const TicketCheck&) = default;
};

struct Evaluation {
    int matches = 0;        // ticket numbers among the six main numbers
    bool bonusHit = false;  // the bonus number is on the ticket

    friend bool operator==(const Evaluation&, const Evaluation&) = default;
};

// Examines every number and every pair; both findings can be set at once.
TicketCheck checkTicket(const Ticket& ticket);

// Sorts values[left..right] (both inclusive) ascending, in place. An empty
// range (right < left) is left alone, also in an empty span.
void quickSort(std::span<LotteryNumber> values, int left, int right);

// A number's bit in a set of lottery numbers 1..49 held as one 64-bit word.
constexpr std::uint64_t numberBit(LotteryNumber number)
{
    return std::uint64_t{1} << static_cast<unsigned>(number);
}

// The drawing rule, over any source with next() and with what to do with each
// accepted number: slot by slot, next() % 49 + 1, a number drawn already drawn
// again. It is a template so that a caller playing millions of draws gets the
// rule inlined into its loop, with a source of its own and nothing traced; the
// game's own draw is drawSeven below.
template <class Source, class Accepted>
DrawResult drawSevenWith(Source& random, Accepted&& accepted)
{
    DrawResult draw{};
    std::uint64_t drawn = 0;
    for (int k = 0; k < drawSize; ++k) {
        LotteryNumber n = 0;
        do {
            n = static_cast<LotteryNumber>(random.next() % drawModulus) + lowestNumber;
        } while ((drawn & numberBit(n)) != 0);
        drawn |= numberBit(n);
        draw[k] = n;
        accepted(n);
    }
    return draw;
}

// Seven distinct numbers in 1..49 in the order drawn; slot 6 is the bonus number.
// Each accepted number is traced on standard output as it is accepted.
DrawResult drawSeven(RandomSource& random);

// Orders the six main numbers ascending; the bonus number in slot 6 stays put.
void exchangeSort(DrawResult& draw);

Evaluation evaluate(const Ticket& ticket, const DrawResult& draw);

}  // namespace lotto
