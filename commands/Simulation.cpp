#include "Simulation.h"

#include "DrawCommand.h"
#include "GermanNumbers.h"

#include <algorithm>
#include <limits>

namespace lotto {

namespace {

constexpr int drawsPerWeek = 2;

std::string drawsText(std::int64_t draws)
{
    return groupedNumber(draws) + (draws == 1 ? " Ziehung" : " Ziehungen");
}

}  // namespace

Simulation::Simulation(const Ticket& ticket, const PlayGoal& goal) : m_goal(goal)
{
    for (LotteryNumber number : ticket) {
        if (number >= lowestNumber && number <= highestNumber)  // no bit beyond the word for an unchecked ticket
            m_ticket |= numberBit(number);
    }
}

bool Simulation::play(std::int64_t maxDraws)
{
    if (m_done || maxDraws <= 0)
        return m_done;
    const bool forASpan = m_goal.draws > 0;
    std::int64_t last = m_draws + std::min(maxDraws, std::numeric_limits<std::int64_t>::max() - m_draws);
    if (forASpan)
        last = std::min(last, m_goal.draws);
    const int wanted = forASpan ? -1 : static_cast<int>(m_goal.until);

    // The hot loop: the engine's rule inlined with nothing done per number, and
    // each drawn number looked up as a bit of the ticket's word. (Adding up six
    // such bits beats a popcount, which x86-64's baseline lacks.) The generator
    // and the counts are the loop's own copies, which WebAssembly keeps far
    // quicker than the members: written through this, a count could be the
    // generator's state for all the compiler knows, and would be read again
    // at every number.
    RandomSource random = m_random;
    std::array<std::int64_t, combinationCount> seen = m_seen;
    const std::uint64_t ticket = m_ticket;
    std::int64_t draws = m_draws;
    while (draws < last) {
        const DrawResult draw = drawSevenWith(random, [](LotteryNumber) {});
        int matches = 0;
        for (int k = 0; k < ticketSize; ++k)
            matches += static_cast<int>((ticket & numberBit(draw[k])) != 0);
        const Combination combination = combinationOf(matches, (ticket & numberBit(draw[bonusSlot])) != 0);
        ++seen[index(combination)];
        ++draws;
        if (static_cast<int>(combination) == wanted) {
            m_done = true;
            break;
        }
    }
    m_random = random;
    m_seen = seen;
    m_draws = draws;
    if (forASpan && m_draws >= m_goal.draws)
        m_done = true;
    return m_done;
}

double Simulation::expected(Combination combination) const
{
    return static_cast<double>(m_draws) * oddsOf(combination).probability();
}

std::optional<double> Simulation::progress() const
{
    if (m_goal.draws == 0)
        return std::nullopt;
    return static_cast<double>(m_draws) / static_cast<double>(m_goal.draws);
}

// Written piece by piece into one text: a browser downloads every
// temporary text's cleanup.
std::string Simulation::summary() const
{
    std::string said;
    if (m_done && m_goal.draws == 0) {
        said.append(combinationName(m_goal.until)).append(" nach ").append(drawsAndDurationText(m_draws));
        return said.append("; im Mittel dauert es ").append(drawsText(oddsOf(m_goal.until).oneInRounded())).append(".");
    }
    if (m_done)
        said.append(durationText(m_draws)).append(", ").append(drawsText(m_draws));
    else
        said.append("Abgebrochen nach ").append(drawsAndDurationText(m_draws));
    std::int64_t wins = 0;
    Combination highest = Combination::None;
    for (Combination combination : combinationsHighestFirst) {
        if (combination == Combination::None || seen(combination) == 0)
            continue;
        wins += seen(combination);
        highest = std::max(highest, combination);
    }
    if (wins == 0)
        said.append(": kein Gewinn");
    else if (wins == 1)
        said.append(": 1 Gewinn (").append(combinationName(highest)).append(")");
    else
        said.append(": ").append(groupedNumber(wins)).append(" Gewinne");
    said.append(" bei ").append(approximateNumber(static_cast<double>(m_draws) - expected(Combination::None)));
    said.append(" erwarteten");
    if (wins > 1)
        said.append(", der höchste ").append(combinationName(highest));
    return said.append(".");
}

std::optional<Simulation> startSimulation(FieldStore& fields, const PlayGoal& goal)
{
    // Emptied first, so that no finding about an earlier ticket stays beside this one.
    fields.setText(FieldId::EditBereich, "");
    fields.setText(FieldId::EditDoppelt, "");
    const std::optional<Ticket> ticket = readCheckedTicket(fields);
    if (!ticket)
        return std::nullopt;
    return Simulation(*ticket, goal);
}

std::string durationText(std::int64_t draws)
{
    if (draws < drawsPerYear) {
        if (draws % drawsPerWeek != 0)
            return decimalNumber(static_cast<double>(draws) / drawsPerWeek, 1) + " Wochen";
        return groupedNumber(draws / drawsPerWeek) + (draws == drawsPerWeek ? " Woche" : " Wochen");
    }
    if (draws == drawsPerYear)
        return "1 Jahr";
    const double years = static_cast<double>(draws) / drawsPerYear;
    constexpr double wholeYearsFrom = 10.0;
    const bool whole = draws % drawsPerYear == 0 || years >= wholeYearsFrom;
    return decimalNumber(years, whole ? 0 : 1) + " Jahre";
}

std::string drawsAndDurationText(std::int64_t draws)
{
    return drawsText(draws) + " (" + durationText(draws) + ")";
}

}  // namespace lotto
