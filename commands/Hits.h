// Which fields show a hit after "Ziehung", decided from what the draw command
// wrote: every ticket number that was drawn, every drawn number that is on the
// ticket, and the bonus number where it is on the ticket. It only reads the
// fields; how a mark looks is each backend's affair.
#pragma once

#include "FieldStore.h"

#include <array>

namespace lotto {

// The kinds of mark a field can show.
enum class HitMark {
    None,
    Main,   // the number is one of the six main numbers and on the ticket
    Bonus,  // the number is the bonus number and on the ticket
};

// One mark for each of the seventeen fields, indexed by FieldId.
using HitMarks = std::array<HitMark, fieldCount>;

// The marks of the draw the fields now show; none where the last draw did not
// complete (EditGewinn empty: a finding, a conversion error, or no draw yet).
HitMarks hitMarks(const FieldStore& fields);

inline HitMark markOf(const HitMarks& marks, FieldId field)
{
    return marks[static_cast<std::size_t>(field)];
}

}  // namespace lotto
