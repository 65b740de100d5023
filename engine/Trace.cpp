#include "Trace.h"

#include <cstdio>

namespace lotto {

void traceNumber(LotteryNumber number)
{
    std::printf("%d", static_cast<int>(number));
}

void flushTrace()
{
    std::fflush(stdout);
}

}  // namespace lotto
