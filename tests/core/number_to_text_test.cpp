#include "core/number_to_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

#include "core/errors.h"

namespace noten {
namespace {

struct TenthsCase {
    float value;
    const char* comma;
};

TEST(FormatTenths, TruncatesTheSixDigitValueToTenths) {
    const TenthsCase cases[] = {
        {2.38f, "2,3"},
        {2.3f, "2,3"},
        {1.4f, "1,4"},
        {0.7f, "0,7"},
        {4.6f, "4,6"},
        {2.0f, "2"},
        {12.95f, "12,9"},
        {0.05f, "0"},
        {-0.05f, "0"},
        {-0.0f, "0"},
        {0.0f, "0"},
        {-0.35f, "-0,3"},
        {-2.0f, "-2"},
        {300000000.0f, "300000000"},
        {123456789.0f, "123456792"},  // held as 123456792
        {12345.65f, "12345,6"},
        {0.099999994f, "0,1"},  // the float below 0.1 is 0.1 at six digits
        {0.0999999f, "0"},
        {9.99999905f, "10"},  // the largest float below 10 is 10 at six digits
        {std::numeric_limits<float>::max(), "340282346638528859811704183484516925440"},
        {std::numeric_limits<float>::denorm_min(), "0"},
        {-1e-30f, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatTenths(c.value, ','), c.comma) << "value " << c.value;
    }
}

TEST(FormatTenths, UsesTheGivenSeparator) {
    EXPECT_EQ(formatTenths(2.38f, '.'), "2.3");
    EXPECT_EQ(formatTenths(-0.35f, '.'), "-0.3");
    EXPECT_EQ(formatTenths(2.0f, '.'), "2");
}

TEST(FormatTenths, ShowsEveryTenthFromPointOneToSixAsItIs) {
    for (int tenths = 1; tenths <= 60; ++tenths) {
        char typed[8];
        std::snprintf(typed, sizeof typed, "%d.%d", tenths / 10, tenths % 10);
        const float held = std::stof(typed);
        std::string expected = std::to_string(tenths / 10);
        if (tenths % 10 != 0) {
            expected += ',' + std::to_string(tenths % 10);
        }
        EXPECT_EQ(formatTenths(held, ','), expected) << typed;
        EXPECT_EQ(formatTenths(-held, ','), "-" + expected) << typed;
    }
}

TEST(FormatTenths, RefusesNaNAndInfinity) {
    EXPECT_THROW(formatTenths(std::numeric_limits<float>::quiet_NaN(), ','), EInvalidOp);
    EXPECT_THROW(formatTenths(std::numeric_limits<float>::infinity(), ','), EInvalidOp);
    EXPECT_THROW(formatTenths(-std::numeric_limits<float>::infinity(), ','), EInvalidOp);
}

TEST(IntegerToText, WritesPlainDecimalDigits) {
    EXPECT_EQ(integerToText(0), "0");
    EXPECT_EQ(integerToText(-3), "-3");
    EXPECT_EQ(integerToText(1000000), "1000000");
    EXPECT_EQ(integerToText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

}  // namespace
}  // namespace noten
