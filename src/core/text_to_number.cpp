#include "core/text_to_number.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/errors.h"

namespace noten {

namespace {

// The exponent is read digit by digit while its value is below this; a further digit once it
// got there makes the text invalid. So the largest exponent read is 4999.
constexpr int kExponentDigitLimit = 500;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void throwInvalid(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' ist kein gültiger Fließkommawert");
}

// The "C" locale for strtold_l, made once: the process locale follows the user's environment,
// which would change the decimal point strtold expects.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        throw Exception("Die Zahlenumwandlung lässt sich nicht einrichten");
    }
    return locale;
}

// The parts of a number that passed the grammar.
struct ParsedNumber {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    bool negativeExponent = false;
    int exponent = 0;
};

// Checks the grammar and splits the number; false when the text breaks it.
bool parse(std::string_view text, char decimalSeparator, ParsedNumber& number) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    std::size_t pos = begin;
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
        number.negative = text[pos] == '-';
        ++pos;
    }
    std::size_t start = pos;
    while (pos < end && isDigit(text[pos])) {
        ++pos;
    }
    number.integerDigits = text.substr(start, pos - start);
    bool hasSeparator = false;
    if (pos < end && text[pos] == decimalSeparator) {
        hasSeparator = true;
        ++pos;
        start = pos;
        while (pos < end && isDigit(text[pos])) {
            ++pos;
        }
        number.fractionDigits = text.substr(start, pos - start);
    }
    if (number.integerDigits.empty() && number.fractionDigits.empty() && !hasSeparator) {
        return false;
    }
    if (pos < end && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
            number.negativeExponent = text[pos] == '-';
            ++pos;
        }
        while (pos < end && isDigit(text[pos])) {
            if (number.exponent >= kExponentDigitLimit) {
                return false;
            }
            number.exponent = number.exponent * 10 + (text[pos] - '0');
            ++pos;
        }
    }
    return pos == end;
}

}  // namespace

long double textToNumber(std::string_view text, char decimalSeparator) {
    ParsedNumber number;
    if (!parse(text, decimalSeparator, number)) {
        throwInvalid(text);
    }

    // A normalised copy that strtold_l reads completely: "-123.456e-78".
    std::string normalised;
    normalised.reserve(number.integerDigits.size() + number.fractionDigits.size() + 12);
    if (number.negative) {
        normalised += '-';
    }
    if (number.integerDigits.empty()) {
        normalised += '0';
    } else {
        normalised += number.integerDigits;
    }
    if (!number.fractionDigits.empty()) {
        normalised += '.';
        normalised += number.fractionDigits;
    }
    normalised += 'e';
    if (number.negativeExponent) {
        normalised += '-';
    }
    char exponentText[8];
    const auto written =
        std::to_chars(exponentText, exponentText + sizeof exponentText, number.exponent);
    normalised.append(exponentText, written.ptr);

    // glibc rounds the exact decimal value once to the extended format.
    char* parsedEnd = nullptr;
    const long double value = strtold_l(normalised.c_str(), &parsedEnd, cLocale());
    if (parsedEnd != normalised.c_str() + normalised.size()) {
        throwInvalid(text);
    }
    // The text holds no "inf", so an infinite result is an overflow (ERANGE). An underflow,
    // also ERANGE, has rounded silently to a tiny value or zero and is no error.
    if (std::isinf(value)) {
        throwInvalid(text);
    }
    return value;
}

}  // namespace noten
