// What a tap on a number of the paper ticket's grid (1 to 49) does to the
// ticket fields, and how the grid shows each number: chosen or not, and the
// mark of a hit. Each reads the six ticket fields as they are, however their
// texts got there: typed, an entry aid, or the draw's sorted write-back. None
// checks the ticket; that is still the draw's work.
#pragma once

#include "FieldStore.h"
#include "Hits.h"
#include "Lottery.h"

#include <array>

#include <bitset>
#include <string>

namespace lotto {

// Chosen numbers, indexed by number; index 0 is never set.
using ChosenNumbers = std::bitset<highestNumber + 1>;

// A number is chosen where a ticket field's text stands for it and it lies in
// 1..49. A field whose text stands for no such number, or repeats an earlier
// field's, adds nothing and counts as free.
ChosenNumbers chosenNumbers(const FieldStore& fields);

// How the grid shows one number.
struct GridNumber {
    bool chosen = false;
    HitMark mark = HitMark::None;  // the mark that the ticket field holding it shows
    friend bool operator==(const GridNumber&, const GridNumber&) = default;
};

// Every number of the grid, indexed by number; index 0 is never chosen.
using NumberGridState = std::array<GridNumber, highestNumber + 1>;

// The chosen numbers, each with the mark that its ticket field shows now
// (marks, by FieldId): a hit stays marked in the grid exactly as long as in
// its field, which loses its mark when its text changes.
NumberGridState numberGridState(const FieldStore& fields, const HitMarks& marks);

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
