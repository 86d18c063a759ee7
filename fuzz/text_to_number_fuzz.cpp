// textToNumber with both separators: a text is accepted exactly when it matches the grammar
// (checked here by a regular expression and the exponent's 500 rule), and the value equals
// strtold_l in the "C" locale on a normalised copy; texts beyond the extended range are refused.
#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

#include "core/errors.h"
#include "core/text_to_number.h"

namespace {

// ' '* sign? (digits (S digits*)? | S digits*) (e sign? digits*)? ' '*, with S the separator.
const std::regex kGrammar(" *([+-]?)([0-9]*)S?([0-9]*)(?:[eE]([+-]?)([0-9]*))? *");

// The exponent is read while its value is below 500; a digit after it reached 500 is refused.
bool exponentAccepted(const std::string& digits) {
    int value = 0;
    for (char digit : digits) {
        if (value >= 500) {
            return false;
        }
        value = value * 10 + (digit - '0');
    }
    return true;
}

// The expected value, or nothing when the text must be refused.
std::optional<long double> reference(const std::string& text, char separator) {
    std::string marked = text;
    bool separatorSeen = false;
    for (char& c : marked) {
        if (c == separator) {
            if (separatorSeen) {
                return std::nullopt;
            }
            separatorSeen = true;
            c = 'S';
        } else if (c == 'S') {
            return std::nullopt;
        }
    }
    std::smatch match;
    if (!std::regex_match(marked, match, kGrammar)) {
        return std::nullopt;
    }
    const std::string whole = match[2], fraction = match[3];
    if (whole.empty() && fraction.empty() && !separatorSeen) {
        return std::nullopt;
    }
    if (!exponentAccepted(match[5])) {
        return std::nullopt;
    }
    const std::string exponent = match[5].length() ? std::string(match[5]) : "0";
    const std::string normalised = std::string(match[1]) + (whole.empty() ? "0" : whole) + "." +
                                   fraction + "e" + std::string(match[4]) + exponent;
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    errno = 0;
    const long double value = strtold_l(normalised.c_str(), nullptr, c_locale);
    if (std::isinf(value)) {
        return std::nullopt;
    }
    return value;
}

bool sameValue(long double a, long double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 100) {
        return 0;
    }
    const char separator = data[0] == ',' ? ',' : '.';
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::optional<long double> expected = reference(text, separator);
    try {
        const long double value = noten::textToNumber(text, separator);
        if (!expected || !sameValue(value, *expected)) {
            std::fprintf(stderr,
                         "textToNumber('%s', '%c') accepted a text it should not, or "
                         "with the wrong value\n",
                         text.c_str(), separator);
            std::abort();
        }
    } catch (const noten::EConvertError& error) {
        if (expected || error.message() != "'" + text + "' ist kein gültiger Fließkommawert") {
            std::fprintf(stderr, "textToNumber('%s', '%c') refused a valid text\n", text.c_str(),
                         separator);
            std::abort();
        }
    }
    return 0;
}
