#include "Combination.h"

#include "NumberText.h"

namespace lotto {

// Below three right the bonus number does not matter: the rest are the draws
// with 0, 1 or 2 of the ticket's numbers.
static_assert(oddsOf(Combination::None).favourable
                  == binomial(6, 0) * binomial(43, 6) + binomial(6, 1) * binomial(43, 5)
                         + binomial(6, 2) * binomial(43, 4),
              "the combinations share out the possible draws");

std::optional<Combination> shownCombination(const FieldStore& fields)
{
    const std::optional<LotteryNumber> matches = numberIn(fields.getText(FieldId::EditGewinn));
    if (!matches || *matches < 0 || *matches > ticketSize)
        return std::nullopt;
    return combinationOf(*matches, !fields.getText(FieldId::EditZusatz).empty());
}

}  // namespace lotto
