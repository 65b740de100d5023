// The trace of drawn numbers on standard output: each accepted number as "%d",
// with nothing between numbers and no line end.
#pragma once

#include "Lottery.h"

namespace lotto {

// Writes one accepted number into standard output's buffer.
void traceNumber(LotteryNumber number);

// Hands what was traced to the reader. Called once a draw is complete, so that a
// pipe or terminal sees each draw when it happens, not at exit; one write per
// draw instead of one per number keeps a whole draw command within microseconds.
void flushTrace();

}  // namespace lotto
