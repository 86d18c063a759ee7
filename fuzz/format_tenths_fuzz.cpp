// formatTenths on every 32-bit pattern: finite values give a text of the display grammar that
// agrees with the rule computed independently (glibc's exact printf instead of to_chars);
// NaN and infinities are refused with EInvalidOp.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "core/errors.h"
#include "core/number_to_text.h"

namespace {

// "0", or an optional "-", integer digits without leading zeros, and a non-zero tenths digit.
const std::regex kDisplayGrammar("0|-?[1-9][0-9]*(S[1-9])?|-?0S[1-9]");

std::string expectedText(float value, char separator) {
    const double exact = value;
    char buffer[256];
    // %.120e is exact for every float, so its exponent is floor(log10 |value|).
    std::snprintf(buffer, sizeof buffer, "%.120e", std::fabs(exact));
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    const int decimals = exponent > 3 ? 2 : 5 - exponent;
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, exact);
    std::string rounded = buffer;
    const bool negative = rounded[0] == '-';
    if (negative) {
        rounded.erase(0, 1);
    }
    const std::string whole = rounded.substr(0, rounded.find('.'));
    const char tenths = rounded[rounded.find('.') + 1];
    if (whole == "0" && tenths == '0') {
        return "0";
    }
    std::string text = (negative ? "-" : "") + whole;
    if (tenths != '0') {
        text += separator;
        text += tenths;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    std::uint32_t pattern;
    std::memcpy(&pattern, data, 4);
    float value;
    std::memcpy(&value, &pattern, 4);
    const char separator = (size > 4 && (data[4] & 1)) ? ',' : '.';

    if (!std::isfinite(value)) {
        try {
            noten::formatTenths(value, separator);
        } catch (const noten::EInvalidOp&) {
            return 0;
        }
        std::abort();  // NaN or infinity accepted
    }
    const std::string text = noten::formatTenths(value, separator);
    std::string grammarText = text;
    for (char& c : grammarText) {
        if (c == separator) {
            c = 'S';
        }
    }
    if (!std::regex_match(grammarText, kDisplayGrammar) || text != expectedText(value, separator)) {
        std::fprintf(stderr, "formatTenths(%.9g) = '%s', expected '%s'\n", value, text.c_str(),
                     expectedText(value, separator).c_str());
        std::abort();
    }
    return 0;
}
