#include "Trace.h"

#include <cstdio>

namespace lotto {

void traceNumber(LotteryNumber number)
{
    std::printf("%d", static_cast<int>(number));
}

void flushTrace()
{
    // An output nobody can read any more is no fault of the game, which goes on.
    (void)std::fflush(stdout);
}

}  // namespace lotto
