// What a screen reader says after a button's command: one short German
// sentence built from the fields' texts alone, so that every backend speaks
// the same words. It reads the fields and never writes them; how the words
// reach the player is the backend's affair.
#pragma once

#include "FieldStore.h"

#include <string>

namespace lotto {

// After "Ziehung": the findings where there are any, else the draw with its
// bonus number, the match count with the numbers that hit, the bonus hit, and
// the winning combination with its odds ("Kein Gewinn." below three right).
std::string resultAnnouncement(const FieldStore& fields);

// The result of the draw that the fields show, in the game's words: the
// winning combination with its odds ("3 Richtige mit Zusatzzahl, Chance 1 zu
// 812"), or "Kein Gewinn" below three right; empty where no draw completed.
// The end of resultAnnouncement, and what a window says of the match count.
std::string combinationAnnouncement(const FieldStore& fields);

// After an entry aid or the clear button: the ticket as it now reads, or that it is empty.
std::string ticketAnnouncement(const FieldStore& fields);

}  // namespace lotto
