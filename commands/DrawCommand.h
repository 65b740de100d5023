// What "Ziehung" does: reads and checks the ticket, reports findings in the
// error fields, or sorts the ticket, draws and shows the draw and the result.
// It catches nothing: a ticket text that is no integer leaves it with
// ConversionError for the event dispatch to show.
#pragma once

#include "FieldStore.h"
#include "RandomSource.h"

namespace lotto {

inline constexpr std::string_view outOfRangeText = "Zahl nicht im Tippscheinbereich";
inline constexpr std::string_view duplicateText = "Doppelte Zahl";
inline constexpr std::string_view bonusHitText = " + Zusatzzahl";

void drawCommand(FieldStore& fields, RandomSource& random = sharedRandomSource());

}  // namespace lotto
