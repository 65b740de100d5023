#include "Hits.h"

#include "NumberText.h"

#include <algorithm>
#include <optional>
#include <span>

namespace lotto {

HitMarks hitMarks(const FieldStore& fields)
{
    HitMarks marks{};
    if (fields.getText(FieldId::EditGewinn).empty())
        return marks;

    std::array<std::optional<LotteryNumber>, ticketSize> ticket;
    for (int i = 0; i < ticketSize; ++i)
        ticket[i] = numberIn(fields.getText(ticketField(i)));
    std::array<std::optional<LotteryNumber>, drawSize> draw;
    for (int k = 0; k < drawSize; ++k)
        draw[k] = numberIn(fields.getText(drawField(k)));

    const auto onTicket = [&](const std::optional<LotteryNumber>& number) {
        return number && std::find(ticket.begin(), ticket.end(), number) != ticket.end();
    };
    const auto mainNumbers = std::span(draw).first<ticketSize>();
    for (int i = 0; i < ticketSize; ++i) {
        if (!ticket[i])
            continue;
        if (std::find(mainNumbers.begin(), mainNumbers.end(), ticket[i]) != mainNumbers.end())
            marks[static_cast<std::size_t>(ticketField(i))] = HitMark::Main;
        else if (ticket[i] == draw[bonusSlot])
            marks[static_cast<std::size_t>(ticketField(i))] = HitMark::Bonus;
    }
    for (int k = 0; k < drawSize; ++k) {
        if (onTicket(draw[k]))
            marks[static_cast<std::size_t>(drawField(k))] = k == bonusSlot ? HitMark::Bonus : HitMark::Main;
    }
    return marks;
}

}  // namespace lotto
