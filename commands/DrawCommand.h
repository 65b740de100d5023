// What "Ziehung" does: reads and checks the ticket, reports findings in the
// error fields, or sorts the ticket, draws and shows the draw and the result.
// It catches nothing: a ticket text that is no integer leaves it with
// ConversionError for the event dispatch to show.
#pragma once

#include "FieldStore.h"
#include "Lottery.h"
#include "RandomSource.h"

#include <optional>

namespace lotto {

inline constexpr std::string_view outOfRangeText = "Zahl nicht im Tippscheinbereich";
inline constexpr std::string_view duplicateText = "Doppelte Zahl";
inline constexpr std::string_view bonusHitText = " + Zusatzzahl";

// The ticket read and checked as "Ziehung" does it, also for the ticket played
// on: Tipp1..Tipp6 converted in field order (ConversionError at the first text
// that is no integer), then checked, each finding written into its field
// (EditBereich, EditDoppelt). The ticket in field order where it passed;
// nothing after a finding. It clears no field: that is the caller's first step.
std::optional<Ticket> readCheckedTicket(FieldStore& fields);

void drawCommand(FieldStore& fields, RandomSource& random = sharedRandomSource());

}  // namespace lotto
