// How the commands turn field texts into lottery numbers and back: the toolkit's
// integer conversion and its general number format.
#pragma once

#include "Lottery.h"
#include "Sysutils.h"

#include <optional>
#include <string>
#include <string_view>

namespace lotto {

using Sysutils::ConversionError;

// Raises ConversionError for a text that is not a 32-bit integer.
inline LotteryNumber parseNumber(std::string_view text)
{
    return Sysutils::StrToInt(text);
}

// The number a field's text stands for, or nothing where parseNumber would
// raise: for reading fields whose text may be anything the player typed.
inline std::optional<LotteryNumber> numberIn(std::string_view text)
{
    return Sysutils::TryStrToInt(text);
}

inline std::string formatNumber(int number)
{
    return Sysutils::FloatToStr(static_cast<double>(number));
}

}  // namespace lotto
