// What a tap on a number of the paper ticket's grid (1 to 49) does to the
// ticket fields, and which numbers the grid shows as chosen. Both read the six
// ticket fields as they are, however their texts got there: typed, an entry
// aid, or the draw's sorted write-back. Neither checks the ticket; that is
// still the draw's work.
#pragma once

#include "FieldStore.h"
#include "Lottery.h"

#include <bitset>
#include <string>

namespace lotto {

// Chosen numbers, indexed by number; index 0 is never set.
using ChosenNumbers = std::bitset<highestNumber + 1>;

// A number is chosen where a ticket field's text stands for it and it lies in
// 1..49. A field whose text stands for no such number, or repeats an earlier
// field's, adds nothing and counts as free.
ChosenNumbers chosenNumbers(const FieldStore& fields);

enum class GridTap {
    Chosen,      // written into the first free ticket field
    Unchosen,    // every ticket field that held it is empty now
    TicketFull,  // six numbers are chosen already: nothing changed
};

// A tap on the number: a chosen number is unchosen, any other is written into
// the first free ticket field where there is one. The grid has only 1 to 49;
// any other number is a fault of the caller (std::out_of_range).
GridTap gridTapCommand(FieldStore& fields, LotteryNumber number);

// Why a tap changed nothing, to be shown and said; empty where it changed the
// ticket, which the grid's own state shows and says.
std::string gridTapAnnouncement(GridTap tap, LotteryNumber number);

}  // namespace lotto
