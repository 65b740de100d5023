#include "GermanNumbers.h"

#include <cmath>

namespace lotto {

namespace {

constexpr int groupedFromDigits = 5;  // four digits read well without a point
constexpr int digitsPerGroup = 3;

// The digits of a whole number, grouped where there are enough of them.
std::string groupedDigits(std::string digits)
{
    if (digits.size() < groupedFromDigits)
        return digits;
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - digitsPerGroup; at > 0; at -= digitsPerGroup)
        digits.insert(static_cast<std::size_t>(at), 1, '.');
    return digits;
}

// Through the unsigned magnitude, which also holds the lowest value's.
std::uint64_t magnitude(std::int64_t number)
{
    return number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
}

}  // namespace

std::string groupedNumber(std::int64_t number)
{
    std::string text = groupedDigits(std::to_string(magnitude(number)));
    if (number < 0)
        text.insert(text.begin(), '-');
    return text;
}

std::string decimalNumber(double number, int decimals)
{
    // Whole numbers of the last decimal, so that no locale's decimal point gets
    // in (the desktop's toolkit sets the player's locale).
    const std::int64_t scaled = std::llround(number * std::pow(10.0, decimals));
    std::string digits = std::to_string(magnitude(scaled));
    const auto fraction = static_cast<std::size_t>(decimals);
    if (digits.size() <= fraction)
        digits.insert(0, fraction + 1 - digits.size(), '0');
    std::string text = groupedDigits(digits.substr(0, digits.size() - fraction));
    if (fraction > 0)
        text.append(1, ',').append(digits, digits.size() - fraction);
    if (scaled < 0)
        text.insert(text.begin(), '-');
    return text;
}

std::string approximateNumber(double number)
{
    constexpr double wholeFrom = 100.0;
    constexpr double oneDecimalFrom = 0.1;
    constexpr int significantDigits = 2;
    constexpr double halfADecimal = 0.05;
    const double size = std::fabs(number);
    if (size >= wholeFrom - halfADecimal)  // also what one decimal would round up to 100
        return decimalNumber(number, 0);
    if (size >= oneDecimalFrom || size == 0.0)
        return decimalNumber(number, 1);
    return decimalNumber(number, significantDigits - 1 - static_cast<int>(std::floor(std::log10(size))));
}

}  // namespace lotto
