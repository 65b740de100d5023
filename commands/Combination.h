// The result of a draw in the game's own words, the winning combination
// ("3 Richtige mit Zusatzzahl", "kein Gewinn"), with its exact odds counted
// from binomial coefficients over the 13,983,816 possible draws. Read from
// what "Ziehung" wrote, so that every backend names and says the same; how it
// is shown is each backend's affair.
#pragma once

#include "FieldStore.h"
#include "Lottery.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lotto {

// From the lowest to the highest, so that a higher one compares greater.
enum class Combination {
    None,  // fewer than three right: no win
    Three,
    ThreeWithBonus,
    Four,
    FourWithBonus,
    Five,
    FiveWithBonus,
    Six,
};

constexpr int combinationCount = 8;
constexpr int fewestMatchesThatWin = 3;

// Every combination from the highest to the lowest, as a result table lists them.
constexpr std::array<Combination, combinationCount> combinationsHighestFirst = {
    Combination::Six,  Combination::FiveWithBonus,  Combination::Five,  Combination::FourWithBonus,
    Combination::Four, Combination::ThreeWithBonus, Combination::Three, Combination::None,
};

// The combination of a draw's match count and bonus hit. Six right leave no
// room for the bonus number on the ticket; below three it does not count.
constexpr Combination combinationOf(int matches, bool bonusHit)
{
    if (matches < fewestMatchesThatWin)
        return Combination::None;
    if (matches >= ticketSize)
        return Combination::Six;
    return static_cast<Combination>(1 + 2 * (matches - fewestMatchesThatWin) + (bonusHit ? 1 : 0));
}

// "6 Richtige", "5 Richtige mit Zusatzzahl", …, "3 Richtige", "kein Gewinn".
constexpr std::string_view combinationName(Combination combination)
{
    switch (combination) {
    case Combination::Six:
        return "6 Richtige";
    case Combination::FiveWithBonus:
        return "5 Richtige mit Zusatzzahl";
    case Combination::Five:
        return "5 Richtige";
    case Combination::FourWithBonus:
        return "4 Richtige mit Zusatzzahl";
    case Combination::Four:
        return "4 Richtige";
    case Combination::ThreeWithBonus:
        return "3 Richtige mit Zusatzzahl";
    case Combination::Three:
        return "3 Richtige";
    case Combination::None:
        break;
    }
    return "kein Gewinn";
}

constexpr std::int64_t binomial(int n, int k)
{
    std::int64_t ways = 1;
    for (int i = 1; i <= k; ++i)
        ways = ways * (n - k + i) / i;  // whole at each step: the ways to choose i of n - k + i
    return ways;
}

struct Odds {
    std::int64_t favourable = 0;  // the draws, of all possible, that give the combination
    std::int64_t possible = binomial(highestNumber, ticketSize);

    double probability() const { return static_cast<double>(favourable) / static_cast<double>(possible); }
    double oneIn() const { return static_cast<double>(possible) / static_cast<double>(favourable); }
    // "1 zu N" as said: N rounded to a whole number.
    std::int64_t oneInRounded() const { return (2 * possible + favourable) / (2 * favourable); }
};

// Of all possible draws, those that match a valid ticket exactly so: k of the
// six main numbers from the ticket in C(6,k)·C(43,6−k) ways, and the bonus
// number, one of the 43 numbers left, on the ticket for 6−k of them.
constexpr Odds oddsOf(Combination combination)
{
    constexpr int offTicket = highestNumber - ticketSize;
    const auto draws = [](int matches, bool bonusHit) {
        const int missed = ticketSize - matches;
        const std::int64_t mains = binomial(ticketSize, matches) * binomial(offTicket, missed);
        return mains * (bonusHit ? missed : offTicket - missed) / offTicket;
    };
    Odds odds;
    if (combination == Combination::None) {
        odds.favourable = odds.possible;
        for (int matches = fewestMatchesThatWin; matches <= ticketSize; ++matches)
            odds.favourable -= draws(matches, true) + draws(matches, false);
        return odds;
    }
    for (int matches = fewestMatchesThatWin; matches <= ticketSize; ++matches) {
        for (bool bonusHit : {false, true}) {
            if (combinationOf(matches, bonusHit) == combination)
                odds.favourable += draws(matches, bonusHit);
        }
    }
    return odds;
}

// The combination of the draw that the fields show, from the match count in
// EditGewinn and the bonus hit in EditZusatz; none where the last draw did not
// complete (EditGewinn empty: a finding, a conversion error, or no draw yet)
// or EditGewinn holds no match count.
std::optional<Combination> shownCombination(const FieldStore& fields);

}  // namespace lotto
