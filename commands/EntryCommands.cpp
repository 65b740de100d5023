#include "EntryCommands.h"

#include "NumberText.h"

#include <array>

namespace lotto {

namespace {

using TicketTexts = std::array<std::string_view, ticketSize>;

constexpr TicketTexts duplicateExample = {"15", "3", "25", "44", "3", "9"};
constexpr TicketTexts rangeExample = {"9", "6", "23", "140", "2", "33"};
constexpr TicketTexts bothExample = {"9", "6", "23", "140", "6", "33"};

void writeTicket(FieldStore& fields, const TicketTexts& texts)
{
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), texts[i]);
}

}  // namespace

void randomTicketCommand(FieldStore& fields, RandomSource& random)
{
    const DrawResult draw = drawSeven(random);
    for (int i = 0; i < ticketSize; ++i)
        fields.setText(ticketField(i), formatNumber(draw[i]));
}

void duplicateExampleCommand(FieldStore& fields)
{
    writeTicket(fields, duplicateExample);
}
void rangeExampleCommand(FieldStore& fields)
{
    writeTicket(fields, rangeExample);
}
void bothExampleCommand(FieldStore& fields)
{
    writeTicket(fields, bothExample);
}

void clearCommand(FieldStore& fields)
{
    constexpr std::array clearOrder = {
        FieldId::EditGewinn, FieldId::EditZusatz, FieldId::EditBereich, FieldId::EditDoppelt, FieldId::Zahl1,
        FieldId::Zahl2,      FieldId::Zahl3,      FieldId::Zahl4,       FieldId::Zahl5,       FieldId::Zahl6,
        FieldId::Zahl7,      FieldId::Tipp1,      FieldId::Tipp2,       FieldId::Tipp3,       FieldId::Tipp4,
        FieldId::Tipp5,      FieldId::Tipp6,
    };
    for (FieldId field : clearOrder)
        fields.setText(field, "");
}

}  // namespace lotto
