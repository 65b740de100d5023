// "Wie lange bis …?": the ticket on the form played on against further draws,
// until a chosen combination comes or for a span of years, with the count of
// each combination seen beside the count its odds let expect. The draws follow
// the engine's own drawing rule, from a generator of their own that starts
// unseeded for every run, so that a ticket gives the same answer on every start
// and platform; the game's generator and its trace are never touched, and no
// simulated draw is traced. A run plays in slices, so that a page can play it
// between its frames and stop it at any time; offering and showing it is the
// UI's affair.
//
// A page's way through it:
//   std::optional<Simulation> run = startSimulation(fields, playGoals[choice]);
//   (a ConversionError goes to the event dispatch; no run: a finding is shown)
//   per frame: run->play(slice); show run->progress(), draws(), seen() and
//   expected(); once done() or stopped, say run->summary().
#pragma once

#include "Combination.h"
#include "FieldStore.h"
#include "Lottery.h"
#include "RandomSource.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lotto {

constexpr std::int64_t drawsPerYear = 104;  // two draws a week

// What a run plays for: until a combination comes, or a span of draws.
struct PlayGoal {
    std::string_view text;                 // as offered: "6 Richtige", "1 Jahr", …
    Combination until = Combination::Six;  // played until this combination comes, …
    std::int64_t draws = 0;                // … or, where not 0, for this many draws
};

// The goals offered, in this order; the first, "6 Richtige", is the default.
constexpr int playGoalCount = 10;
constexpr std::array<PlayGoal, playGoalCount> playGoals = [] {
    std::array<PlayGoal, playGoalCount> goals{};
    std::size_t next = 0;
    for (Combination combination : combinationsHighestFirst) {
        if (combination != Combination::None)
            goals.at(next++) = {combinationName(combination), combination, 0};
    }
    goals.at(next++) = {"1 Jahr", Combination::None, drawsPerYear};
    goals.at(next++) = {"10 Jahre", Combination::None, 10 * drawsPerYear};
    goals.at(next) = {"ein Leben (70 Jahre)", Combination::None, 70 * drawsPerYear};
    return goals;
}();

class Simulation {
public:
    // A run of a ticket that passed the check, from the generator's first value.
    Simulation(const Ticket& ticket, const PlayGoal& goal);

    // Plays at most maxDraws further draws, fewer where the goal comes first;
    // true once it has come. Allocates nothing and touches nothing but the run.
    bool play(std::int64_t maxDraws);

    bool done() const { return m_done; }
    const PlayGoal& goal() const { return m_goal; }
    std::int64_t draws() const { return m_draws; }
    std::int64_t seen(Combination combination) const { return m_seen.at(index(combination)); }
    // The draws so far times the combination's probability.
    double expected(Combination combination) const;
    // The share of a span played so far, 0 to 1; none for a run until a
    // combination comes, whose end nobody knows beforehand.
    std::optional<double> progress() const;
    // One sentence for a screen reader: what the run found, also when it was stopped before its goal.
    std::string summary() const;

private:
    static std::size_t index(Combination combination) { return static_cast<std::size_t>(combination); }

    RandomSource m_random;
    std::uint64_t m_ticket = 0;  // numberBit of each ticket number
    PlayGoal m_goal;
    std::int64_t m_draws = 0;
    std::array<std::int64_t, combinationCount> m_seen{};
    bool m_done = false;
};

// Starts a run of the ticket that Tipp1..Tipp6 hold, read and checked as
// "Ziehung" does it, after emptying the two finding fields: a text that is no
// integer raises ConversionError, and a bad ticket gets its findings in
// EditBereich and EditDoppelt and no run. It writes no other field.
std::optional<Simulation> startSimulation(FieldStore& fields, const PlayGoal& goal);

// How long a count of draws takes at two a week: "6 Wochen", "1 Jahr",
// "11,9 Jahre", "78.110 Jahre".
std::string durationText(std::int64_t draws);

// A count of draws with the time they take: "1 Ziehung (0,5 Wochen)",
// "6.787.823 Ziehungen (65.268 Jahre)".
std::string drawsAndDurationText(std::int64_t draws);

}  // namespace lotto
