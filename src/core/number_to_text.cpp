#include "core/number_to_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "core/errors.h"

namespace noten {

namespace {

// Enough for every float in fixed notation with up to 51 decimals, and for the exact
// scientific expansion (a float has at most 105 significant decimal digits).
constexpr std::size_t kBufferSize = 192;

// floor(log10(|value|)) of the exact binary value; value is finite and not zero.
int decimalExponent(double magnitude) {
    char buffer[kBufferSize];
    // 120 digits are more than any float has, so nothing is rounded and the exponent is exact.
    const auto result =
        std::to_chars(buffer, buffer + kBufferSize, magnitude, std::chars_format::scientific, 120);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::string_view exponent = text.substr(text.find('e') + 1);
    return std::atoi(std::string(exponent).c_str());
}

}  // namespace

std::string formatTenths(float value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        throw EInvalidOp();
    }
    if (value == 0.0f) {
        return "0";
    }
    // A float holds six significant digits for certain; rounding there first keeps 1.4 (held
    // as 1.39999997...) from showing as 1,3. At least two decimals, so the integer digits are
    // never rounded and truncation to tenths stays truncation.
    const double exact = value;
    const int decimals = std::max(2, 5 - decimalExponent(std::fabs(exact)));
    char buffer[kBufferSize];
    const auto result =
        std::to_chars(buffer, buffer + kBufferSize, exact, std::chars_format::fixed, decimals);
    std::string_view rounded(buffer, static_cast<std::size_t>(result.ptr - buffer));

    const bool negative = rounded.front() == '-';
    if (negative) {
        rounded.remove_prefix(1);
    }
    const std::size_t point = rounded.find('.');
    const std::string_view integerDigits = rounded.substr(0, point);
    const char tenths = rounded[point + 1];

    if (integerDigits == "0" && tenths == '0') {
        return "0";
    }
    std::string text;
    if (negative) {
        text += '-';
    }
    text += integerDigits;
    if (tenths != '0') {
        text += decimalSeparator;
        text += tenths;
    }
    return text;
}

std::string integerToText(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace noten
