// Numbers as German texts for reading and hearing: digits grouped by points
// from five digits on, a decimal comma. For what is said and shown about a
// result; a field's number is written by formatNumber, ungrouped, as the
// toolkit writes it.
#pragma once

#include <cstdint>
#include <string>

namespace lotto {

// "812", "1083", "13.983.816", "-12.345".
std::string groupedNumber(std::int64_t number);

// Rounded to the given count of decimals, halves away from zero:
// decimalNumber(22196.53, 1) is "22.196,5". For numbers well within 64 bits.
std::string decimalNumber(double number, int decimals);

// A count that need not be whole, as precise as a reader wants it: whole from
// 100, one decimal from 0.1, else two significant digits ("0,0074").
std::string approximateNumber(double number);

}  // namespace lotto
