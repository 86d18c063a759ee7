#pragma once

#include <cstdint>
#include <string>

namespace noten {

// The text a result field shows for a mean or deviation: the exact stored value rounded to
// six significant digits (but never fewer than two decimals), then truncated toward zero to
// tenths. "-" only for a non-zero negative result, the integer digits, and the separator with
// the tenths digit only when that digit is not 0; zero of either sign is "0".
// NaN and infinities throw EInvalidOp.
std::string formatTenths(float value, char decimalSeparator);

// Decimal digits of an integer, "-" for negatives, no grouping.
std::string integerToText(std::int64_t value);

}  // namespace noten
