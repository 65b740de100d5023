#include "Announcement.h"

#include "Combination.h"
#include "GermanNumbers.h"
#include "Hits.h"

#include <array>
#include <cctype>
#include <optional>
#include <string_view>

namespace lotto {

namespace {

// The fields' texts in that order, empty ones left out, joined as spoken lists are.
template <std::size_t count>
std::string spokenList(const FieldStore& fields, const std::array<FieldId, count>& order, std::string_view separator)
{
    std::string list;
    for (FieldId field : order) {
        const std::string text = fields.getText(field);
        if (text.empty())
            continue;
        if (!list.empty())
            list += separator;
        list += text;
    }
    return list;
}

constexpr std::array ticketFields = {FieldId::Tipp1, FieldId::Tipp2, FieldId::Tipp3,
                                     FieldId::Tipp4, FieldId::Tipp5, FieldId::Tipp6};
constexpr std::array drawFields = {FieldId::Zahl1, FieldId::Zahl2, FieldId::Zahl3,
                                   FieldId::Zahl4, FieldId::Zahl5, FieldId::Zahl6};
constexpr std::array findingFields = {FieldId::EditBereich, FieldId::EditDoppelt};

}  // namespace

std::string resultAnnouncement(const FieldStore& fields)
{
    const std::string findings = spokenList(fields, findingFields, ". ");
    if (!findings.empty())
        return findings + ".";
    const std::string matches = fields.getText(FieldId::EditGewinn);
    if (matches.empty())
        return {};
    std::string said = "Ziehung: " + spokenList(fields, drawFields, ", ") + ", Zusatzzahl "
                       + fields.getText(FieldId::Zahl7) + ". " + matches + " Treffer";
    // The numbers that hit, as the ticket shows them (sorted by the draw).
    const HitMarks marks = hitMarks(fields);
    std::string_view separator = ": ";
    for (FieldId field : ticketFields) {
        if (markOf(marks, field) == HitMark::Main) {
            said += std::string(separator) + fields.getText(field);
            separator = ", ";
        }
    }
    if (!fields.getText(FieldId::EditZusatz).empty())
        said += ". Zusatzzahl getroffen";
    said += ".";
    const std::string combination = combinationAnnouncement(fields);
    return combination.empty() ? said : said + " " + combination + ".";
}

std::string combinationAnnouncement(const FieldStore& fields)
{
    const std::optional<Combination> combination = shownCombination(fields);
    if (!combination)
        return {};
    std::string name(combinationName(*combination));
    name.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(name.front())));
    if (*combination == Combination::None)
        return name;
    return name + ", Chance 1 zu " + groupedNumber(oddsOf(*combination).oneInRounded());
}

std::string ticketAnnouncement(const FieldStore& fields)
{
    const std::string ticket = spokenList(fields, ticketFields, ", ");
    return ticket.empty() ? "Tippschein ist leer." : "Tippschein: " + ticket + ".";
}

}  // namespace lotto
