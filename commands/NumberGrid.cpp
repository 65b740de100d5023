#include "NumberGrid.h"

#include "NumberText.h"

#include <array>
#include <stdexcept>

namespace lotto {

namespace {

std::size_t bit(LotteryNumber number)
{
    return static_cast<std::size_t>(number);
}

// The number each ticket field adds to the chosen ones, or 0 where it adds none.
std::array<LotteryNumber, ticketSize> choices(const FieldStore& fields)
{
    std::array<LotteryNumber, ticketSize> numbers{};
    ChosenNumbers seen;
    for (int i = 0; i < ticketSize; ++i) {
        const std::optional<LotteryNumber> number = numberIn(fields.getText(ticketField(i)));
        if (!number || *number < lowestNumber || *number > highestNumber || seen.test(bit(*number)))
            continue;
        seen.set(bit(*number));
        numbers[i] = *number;
    }
    return numbers;
}

}  // namespace

ChosenNumbers chosenNumbers(const FieldStore& fields)
{
    ChosenNumbers chosen;
    for (LotteryNumber number : choices(fields)) {
        if (number)
            chosen.set(bit(number));
    }
    return chosen;
}

NumberGridState numberGridState(const FieldStore& fields, const HitMarks& marks)
{
    NumberGridState shown{};
    const std::array<LotteryNumber, ticketSize> numbers = choices(fields);
    for (int i = 0; i < ticketSize; ++i) {
        if (numbers[i])
            shown[bit(numbers[i])] = {true, markOf(marks, ticketField(i))};
    }
    return shown;
}

GridTap gridTapCommand(FieldStore& fields, LotteryNumber number)
{
    if (number < lowestNumber || number > highestNumber)
        throw std::out_of_range("Die Zahl " + formatNumber(number) + " steht nicht auf dem Tippschein.");
    if (chosenNumbers(fields).test(bit(number))) {
        // Also a repeat of it, so that the number is no longer chosen at all.
        for (int i = 0; i < ticketSize; ++i) {
            if (numberIn(fields.getText(ticketField(i))) == number)
                fields.setText(ticketField(i), "");
        }
        return GridTap::Unchosen;
    }
    const std::array<LotteryNumber, ticketSize> numbers = choices(fields);
    for (int i = 0; i < ticketSize; ++i) {
        if (numbers[i] == 0) {
            fields.setText(ticketField(i), formatNumber(number));
            return GridTap::Chosen;
        }
    }
    return GridTap::TicketFull;
}

std::string gridTapAnnouncement(GridTap tap, LotteryNumber number)
{
    if (tap != GridTap::TicketFull)
        return {};
    return "Schon 6 Zahlen gewählt: erst eine abwählen, dann " + formatNumber(number) + " wählen.";
}

}  // namespace lotto
