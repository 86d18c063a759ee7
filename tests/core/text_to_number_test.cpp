#include "core/text_to_number.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/floating_point.h"

namespace noten {
namespace {

// Expected values are written as long double literals, which the compiler rounds correctly
// on its own (independent of the C library's strtold).
struct ValidCase {
    std::string text;
    char separator;
    long double expected;
};

void expectSameValue(long double actual, long double expected, const std::string& text) {
    EXPECT_EQ(actual, expected) << "text \"" << text << "\"";
    EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << "sign of \"" << text << "\"";
}

TEST(TextToNumber, ReadsValidTexts) {
    const long double largest = std::numeric_limits<long double>::max();
    const long double tiniest = std::numeric_limits<long double>::denorm_min();
    const std::string oneWith400Zeros = "1" + std::string(400, '0');
    const std::vector<ValidCase> cases{
        // Separators: the one passed counts, the other is refused (see the invalid table).
        {"2,5", ',', 2.5L},
        {"2.5", '.', 2.5L},
        {"0,1", ',', 0.1L},
        {"0.1", '.', 0.1L},
        {"5,", ',', 5.0L},
        {",5", ',', 0.5L},
        {",", ',', 0.0L},
        {".", '.', 0.0L},
        {"-,", ',', -0.0L},
        {"007", ',', 7.0L},
        // Blanks (only spaces) around the number, signs directly before it.
        {" 3 ", ',', 3.0L},
        {"   3", ',', 3.0L},
        {"3   ", ',', 3.0L},
        {"+1", ',', 1.0L},
        {"-2,5", ',', -2.5L},
        {"-0", ',', -0.0L},
        {" -0,4 ", ',', -0.4L},
        // Exponents: either case, optional sign, no digits meaning 0.
        {"1e1", ',', 10.0L},
        {"1E1", ',', 10.0L},
        {"1e+2", ',', 100.0L},
        {"25e-1", ',', 2.5L},
        {"1e", ',', 1.0L},
        {"1e+", ',', 1.0L},
        {"1e-", ',', 1.0L},
        {",e5", ',', 0.0L},
        {",5e1", ',', 5.0L},
        {"5,e-1", ',', 0.5L},
        {"1E-50", ',', 1e-50L},
        {"1E39", ',', 1e39L},
        // The exponent is read while its value is below 500.
        {"1e499", ',', 1e499L},
        {"1e500", ',', 1e500L},
        {"1e-500", ',', 1e-500L},
        {"1e0000000000000000005", ',', 1e5L},
        {"1e-4931", ',', 1e-4931L},
        {"1e4932", ',', 1e4932L},
        // Underflow rounds silently: the smallest denormal, and below half of it 0.
        {"1e-4999", ',', 0.0L},
        {"-1e-4999", ',', -0.0L},
        {"1e-4950", ',', 1e-4950L},
        {"1,9e-4951", ',', tiniest},
        {"1,8e-4951", ',', 0.0L},
        // The edge of the range: the overflow threshold is 1.18973149535723176505351158...e4932.
        {"1,18973149535723176502126385303e4932", ',', largest},
        {"1,18973149535723176505351158982948866e4932", ',', largest},
        {"-1,18973149535723176505351158982948866e4932", ',', -largest},
        // Many digits are rounded once, not digit by digit.
        {oneWith400Zeros + "e-400", ',', 1.0L},
        {"0," + std::string(400, '0') + "1e401", ',', 1.0L},
        {"0,1000000000000000000000000000000000000001", ',', 0.1L},
        // Halfway between two extended values (1 + 2^-64) rounds to even, 1 + 2^-64 + tiny up.
        {"1,0000000000000000000542101086242752217003726400434970855712890625", ',', 1.0L},
        {"1,00000000000000000005421010862427522170037264004349708557128906251", ',',
         1.0L + LDBL_EPSILON},
    };
    for (const auto& c : cases) {
        try {
            expectSameValue(textToNumber(c.text, c.separator), c.expected, c.text);
        } catch (const Exception& e) {
            ADD_FAILURE() << "\"" << c.text << "\" refused: " << e.message();
        }
    }
}

struct InvalidCase {
    std::string text;
    char separator;
};

TEST(TextToNumber, RefusesInvalidTextsWithTheWholeTextInTheMessage) {
    const std::vector<InvalidCase> cases{
        {"", ','},
        {" ", ','},
        {"   ", ','},
        {"2.5", ','},  // a point is no separator on a comma system
        {"2,5", '.'},
        {"1.000,5", ','},
        {"1,2,3", ','},
        {"abc", ','},
        {"\t3", ','},  // only the space is a blank
        {"3\t", ','},
        {"3\n", ','},
        {"\xc2\xa0"
         "3",
         ','},  // no-break space
        {"- 1", ','},
        {"+-1", ','},
        {"--1", ','},
        {"1-", ','},
        {"+", ','},
        {"-", ','},
        {"e5", ','},
        {"-e5", ','},
        {"1 e5", ','},
        {"1e 5", ','},
        {"1e+-5", ','},
        {"1e5,", ','},
        {"1e5e5", ','},
        {"1,5,", ','},
        {"1f", ','},
        {"0x10", ','},
        {"inf", ','},
        {"nan", ','},
        {"1 000", ','},
        // A further exponent digit once the exponent reached 500.
        {"1e5000", ','},
        {"1e5001", ','},
        {"1e-5000", ','},
        {"1e49999", ','},
        {"1e00000500000", ','},
        // Beyond the extended range.
        {"1e4999", ','},
        {"1,19e4932", ','},
        {"-1,19e4932", ','},
        {"1,18973149535723176505351158982948867e4932", ','},
        {"1" + std::string(4933, '0'), ','},
    };
    for (const auto& c : cases) {
        try {
            const long double value = textToNumber(c.text, c.separator);
            ADD_FAILURE() << "\"" << c.text << "\" read as " << static_cast<double>(value);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), "'" + c.text + "' ist kein gültiger Fließkommawert");
        }
    }
}

TEST(TextToNumber, RefusesAnEmbeddedNul) {
    // Nothing after the digits may pass, not even a NUL that a C string would end at.
    EXPECT_THROW(textToNumber(std::string("1\0", 2), ','), EConvertError);
    EXPECT_THROW(textToNumber(std::string("1\0"
                                          "5",
                                          3),
                              ','),
                 EConvertError);
}

TEST(TextToNumber, MessageKeepsBlanksAndUmlauts) {
    try {
        textToNumber(" 2.5 ", ',');
        FAIL() << "2.5 accepted with a comma separator";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "' 2.5 ' ist kein gültiger Fließkommawert");
        EXPECT_STREQ(e.what(), "' 2.5 ' ist kein gültiger Fließkommawert");
    }
}

TEST(TextToNumber, IgnoresTheProcessLocale) {
    // The program sets the process locale from the environment; a comma decimal point there
    // must not change what is read.
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool commaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::string(std::localeconv()->decimal_point) == ",") {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale) {
        std::setlocale(LC_ALL, saved.c_str());
        // scripts/setup-deps.sh generates de_DE.UTF-8, so the check always runs.
        FAIL() << "no C library locale with a decimal comma: run scripts/setup-deps.sh";
    }
    EXPECT_EQ(textToNumber("2,5", ','), 2.5L);
    EXPECT_EQ(textToNumber("2.5", '.'), 2.5L);
    EXPECT_EQ(textToNumber("1,5e1", ','), 15.0L);
    EXPECT_THROW(textToNumber("2.5", ','), EConvertError);
    std::setlocale(LC_ALL, saved.c_str());
}

// ---- The public corpus of decimal strings with correctly rounded binary values ----

// The quadruple column is the exact decimal rounded to 113 bits. Rounding that again to the
// 64-bit extended grid gives the correctly rounded extended value unless the quad value lies
// exactly halfway between two extended values (then the double rounding may differ); such
// lines are skipped. The extended midpoints, the overflow threshold and the extended denormal
// grid are all representable in quad, so everywhere else the reference is exact.
long double fromQuadBits(unsigned __int128 bits, bool& overflow, bool& midpoint) {
    overflow = false;
    midpoint = false;
    const bool negative = (bits >> 127) != 0;
    const int biased = static_cast<int>((bits >> 112) & 0x7fff);
    const unsigned __int128 fraction = bits & ((static_cast<unsigned __int128>(1) << 112) - 1);
    if (biased == 0x7fff) {
        overflow = true;
        return 0.0L;
    }
    unsigned __int128 significand = fraction;
    int exponent = -16382 - 112;  // value = significand * 2^exponent
    if (biased != 0) {
        significand |= static_cast<unsigned __int128>(1) << 112;
        exponent = biased - 16383 - 112;
    }
    if (significand == 0) {
        return negative ? -0.0L : 0.0L;
    }
    int bitLength = 0;
    for (unsigned __int128 s = significand; s != 0; s >>= 1) {
        ++bitLength;
    }
    const int binade = bitLength - 1 + exponent;
    const int ulpExponent = std::max(binade - 63, -16445);  // extended denormal grid 2^-16445
    const int shift = ulpExponent - exponent;
    unsigned __int128 rounded = significand;
    int scale = exponent;
    if (shift > 0) {
        scale = ulpExponent;
        if (shift >= 120) {
            rounded = 0;  // far below half of the grid step
        } else {
            const unsigned __int128 one = 1;
            const unsigned __int128 remainder = significand & ((one << shift) - 1);
            const unsigned __int128 half = one << (shift - 1);
            rounded = significand >> shift;
            if (remainder == half) {
                midpoint = true;
            } else if (remainder > half) {
                ++rounded;
            }
        }
    }
    const long double value = std::ldexp(static_cast<long double>(rounded), scale);
    if (std::isinf(value)) {
        overflow = true;
    }
    return negative ? -value : value;
}

// True when x lies exactly halfway between two neighbours of a binary format with `digits`
// significand bits and smallest grid step 2^minUlpExponent.
bool isMidpoint(long double x, int digits, int minUlpExponent) {
    if (x == 0.0L || !std::isfinite(x)) {
        return false;
    }
    int binade = 0;
    std::frexp(x, &binade);  // x = f * 2^binade, 0.5 <= |f| < 1
    const int ulpExponent = std::max(binade - digits, minUlpExponent);
    const long double halfSteps = std::ldexp(std::fabs(x), 1 - ulpExponent);
    return halfSteps == std::trunc(halfSteps) && std::fmod(halfSteps, 2.0L) == 1.0L;
}

unsigned __int128 parseHex128(const std::string& hex) {
    unsigned __int128 value = 0;
    for (char c : hex) {
        value = value * 16 + static_cast<unsigned>(std::stoi(std::string(1, c), nullptr, 16));
    }
    return value;
}

// The grammar once more, put differently, to decide which corpus strings must be accepted:
// mantissa and exponent split at the first 'e'/'E', each checked as a whole.
bool inGrammar(const std::string& text) {
    const auto allDigits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const auto withoutSign = [](std::string_view part) {
        return !part.empty() && (part[0] == '+' || part[0] == '-') ? part.substr(1) : part;
    };
    const std::string_view whole(text);
    const std::size_t e = whole.find_first_of("eE");
    const std::string_view mantissa = withoutSign(whole.substr(0, e));
    const std::size_t point = mantissa.find('.');
    if (mantissa.empty() || (point == std::string_view::npos && !allDigits(mantissa))) {
        return false;
    }
    if (point != std::string_view::npos &&
        !(allDigits(mantissa.substr(0, point)) && allDigits(mantissa.substr(point + 1)))) {
        return false;
    }
    if (e == std::string_view::npos) {
        return true;
    }
    std::string_view exponent = withoutSign(whole.substr(e + 1));
    if (!allDigits(exponent)) {
        return false;
    }
    // Read while below 500: with leading zeros dropped, up to three digits always fit, four
    // only when the first three are below 500.
    exponent.remove_prefix(std::min(exponent.find_first_not_of('0'), exponent.size()));
    return exponent.size() <= 3 ||
           (exponent.size() == 4 && std::stoi(std::string(exponent.substr(0, 3))) < 500);
}

template <typename T, typename Bits>
Bits bitsOf(T value) {
    static_assert(sizeof(T) == sizeof(Bits));
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Every corpus string is either refused (outside the grammar or beyond the extended range) or
// read to the exact extended reference from the quad column. The double and single columns
// then check the steps the grade entry takes (extended -> double -> float) wherever no double
// rounding can make a correct chain differ from the correctly rounded value: a value that is
// not exactly a midpoint of the narrower format rounds the same as the exact decimal would,
// because those midpoints are representable in the wider format.
TEST(TextToNumberCorpus, MatchesTheCorrectlyRoundedValues) {
    const std::filesystem::path directory =
        std::filesystem::path(NOTEN_TEST_DATA_DIR) / "parse-number-fxx";
    int files = 0;
    int lines = 0;
    int refused = 0;
    int extendedChecked = 0;
    int extendedSkipped = 0;
    int doubleChecked = 0;
    int floatChecked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() != ".txt") {
            continue;
        }
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string half, single, dbl, quad, text;
            if (!(fields >> half >> single >> dbl >> quad >> text)) {
                continue;
            }
            ++lines;
            SCOPED_TRACE(entry.path().filename().string() + ": " + text);
            bool overflow = false;
            bool midpoint = false;
            const long double reference = fromQuadBits(parseHex128(quad), overflow, midpoint);
            if (!inGrammar(text) || overflow) {
                EXPECT_THROW(textToNumber(text, '.'), EConvertError);
                ++refused;
                continue;
            }
            long double extended = 0.0L;
            try {
                extended = textToNumber(text, '.');
            } catch (const Exception& e) {
                ADD_FAILURE() << "refused: " << e.message();
                continue;
            }
            if (midpoint) {
                ++extendedSkipped;
                continue;
            }
            expectSameValue(extended, reference, text);
            ++extendedChecked;

            if (isMidpoint(extended, DBL_MANT_DIG, -1074)) {
                continue;
            }
            const std::uint64_t doubleBits = std::stoull(dbl, nullptr, 16);
            double stored = 0.0;
            if ((doubleBits & 0x7fffffffffffffffULL) == 0x7ff0000000000000ULL) {
                EXPECT_THROW(storeDouble(extended), EOverflow);
                ++doubleChecked;
                continue;
            }
            stored = storeDouble(extended);
            EXPECT_EQ((bitsOf<double, std::uint64_t>(stored)), doubleBits);
            ++doubleChecked;

            if (isMidpoint(stored, FLT_MANT_DIG, -149)) {
                continue;
            }
            const auto floatBits = static_cast<std::uint32_t>(std::stoul(single, nullptr, 16));
            if ((floatBits & 0x7fffffffU) == 0x7f800000U) {
                EXPECT_THROW(storeFloat(stored), EOverflow);
            } else {
                EXPECT_EQ((bitsOf<float, std::uint32_t>(storeFloat(stored))), floatBits);
            }
            ++floatChecked;
        }
    }
    std::cout << "corpus: " << files << " files, " << lines << " lines; " << refused
              << " refused as expected; extended checked " << extendedChecked << " (skipped "
              << extendedSkipped << " at a quad midpoint); double chain " << doubleChecked
              << "; float chain " << floatChecked << "\n";
    EXPECT_EQ(files, 5);
    // Nearly every line is plain decimal; a parser refusing most of them must not pass.
    EXPECT_GT(extendedChecked, lines * 9 / 10);
}

}  // namespace
}  // namespace noten
