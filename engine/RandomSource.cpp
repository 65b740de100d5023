#include "RandomSource.h"

namespace lotto {

RandomSource& sharedRandomSource()
{
    static RandomSource source;
    return source;
}

}  // namespace lotto
