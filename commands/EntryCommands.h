// The entry aids and the clear button: they only write fields. None checks the
// ticket, draws into the draw fields or evaluates anything.
#pragma once

#include "FieldStore.h"
#include "RandomSource.h"

namespace lotto {

// Six numbers of a fresh draw, unsorted, into Tipp1..Tipp6; the seventh is not shown.
void randomTicketCommand(FieldStore& fields, RandomSource& random = sharedRandomSource());

// Fixed tickets that trip the duplicate check, the range check, or both.
void duplicateExampleCommand(FieldStore& fields);
void rangeExampleCommand(FieldStore& fields);
void bothExampleCommand(FieldStore& fields);

// Empties all seventeen fields, results first and the ticket last.
void clearCommand(FieldStore& fields);

}  // namespace lotto
