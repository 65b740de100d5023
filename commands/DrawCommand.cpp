#include "DrawCommand.h"

#include "NumberText.h"

namespace lotto {

std::optional<Ticket> readCheckedTicket(FieldStore& fields)
{
    Ticket ticket{};
    for (int i = 0; i < ticketSize; ++i)
        ticket[i] = parseNumber(fields.getText(ticketField(i)));

    const TicketCheck check = checkTicket(ticket);
    if (check.outOfRange)
        fields.setText(FieldId::EditBereich, outOfRangeText);
    if (check.duplicate)
        fields.setText(FieldId::EditDoppelt, duplicateText);
    if (!check.passed())
        return std::nullopt;
    return ticket;
}

void drawCommand(FieldStore& fields, RandomSource& random)
{
    // Cleared first, so that a conversion error below leaves no stale result.
    fields.setText(FieldId::EditGewinn, "");
    fields.setText(FieldId::EditZusatz, "");
    fields.setText(FieldId::EditBereich, "");
    fields.setText(FieldId::EditDoppelt, "");

    std::optional<Ticket> checked = readCheckedTicket(fields);
    if (!checked)
        return;
    Ticket& ticket = *checked;

    quickSort(ticket, 0, ticketSize - 1);
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), formatNumber(ticket[i]));

    DrawResult draw = drawSeven(random);
    exchangeSort(draw);
    for (int k = 0; k < drawSize; ++k)
        fields.setText(drawField(k), formatNumber(draw[k]));

    const Evaluation result = evaluate(ticket, draw);
    fields.setText(FieldId::EditGewinn, formatNumber(result.matches));
    if (result.bonusHit)
        fields.setText(FieldId::EditZusatz, bonusHitText);
}

}  // namespace lotto
