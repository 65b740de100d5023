// How the commands turn field texts into lottery numbers and back: the toolkit's
// integer conversion and its general number format.
#pragma once

#include "Lottery.h"
#include "Sysutils.h"

#include <string>
#include <string_view>

namespace lotto {

using Sysutils::ConversionError;

// Raises ConversionError for a text that is not a 32-bit integer.
inline LotteryNumber parseNumber(std::string_view text)
{
    return Sysutils::StrToInt(text);
}

inline std::string formatNumber(int number)
{
    return Sysutils::FloatToStr(static_cast<double>(number));
}

}  // namespace lotto
