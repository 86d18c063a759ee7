#include "core/floating_point.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "core/errors.h"

namespace noten {
namespace {

TEST(TruncateToInt, TruncatesTowardZeroAndKeepsTheLow32Bits) {
    const struct {
        long double value;
        std::int32_t expected;
    } cases[] = {
        {2.9L, 2},
        {-2.9L, -2},
        {3000000000.0L, -1294967296},
        {4294967365.0L, 69},
        {-0.5L, 0},
        {9223372036854775807.0L, -1},  // 2^63 - 1 is exact in extended
        {-9223372036854775808.0L, 0},  // -2^63 itself fits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(truncateToInt(c.value), c.expected) << static_cast<double>(c.value);
    }
}

TEST(TruncateToInt, OutsideTheSigned64BitRangeIsAnInvalidOperation) {
    for (long double value : {9223372036854775808.0L, -9223372036854775810.0L,
                              std::numeric_limits<long double>::infinity(),
                              std::numeric_limits<long double>::quiet_NaN()}) {
        EXPECT_THROW(truncateToInt(value), EInvalidOp);
    }
}

TEST(TruncateToInt, AFaultLeavesRoundingToNearestInForce) {
    setupFloatingPointEnvironment();
    EXPECT_THROW(truncateToInt(1e30L), EInvalidOp);
    EXPECT_TRUE(floatingPointEnvironmentInForce());
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

TEST(StoreFloat, OverflowsOnlyWhenTheRoundedValueLeavesTheFloatRange) {
    const long double largest = std::numeric_limits<float>::max();
    EXPECT_EQ(storeFloat(largest), std::numeric_limits<float>::max());
    // Just above the largest float but closer to it than to the next power: rounds down.
    EXPECT_EQ(storeFloat(largest * (1.0L + 0x1p-25L)), std::numeric_limits<float>::max());
    try {
        storeFloat(largest * 2.0L);
        FAIL() << "no error";
    } catch (const EOverflow& error) {
        EXPECT_EQ(error.message(), "Überlauf bei Fließkommaoperation");
    }
    EXPECT_THROW(storeFloat(-1e39L), EOverflow);
    EXPECT_EQ(storeFloat(1e-50L), 0.0f);  // underflow is silent
    EXPECT_THROW(storeFloat(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
}

TEST(StoreDouble, OverflowsBeyondTheDoubleRange) {
    EXPECT_THROW(storeDouble(1e400L), EOverflow);
    EXPECT_EQ(storeDouble(1e300L), 1e300);
}

TEST(Divide, ZeroByZeroIsInvalidAndOtherByZeroIsZeroDivide) {
    try {
        divide(0.0L, 0.0L);
        FAIL() << "no error";
    } catch (const EInvalidOp& error) {
        EXPECT_EQ(error.message(), "Fehler bei Fließkommaoperation");
    }
    try {
        divide(1.0L, 0.0L);
        FAIL() << "no error";
    } catch (const EZeroDivide& error) {
        EXPECT_EQ(error.message(), "Fließkommadivision durch Null");
    }
    EXPECT_EQ(divide(6.0L, 3.0L), 2.0L);
    EXPECT_TRUE(std::signbit(divide(0.0L, -3.0L)));
}

TEST(FloatingPointEnvironment, SetupPutsNearestRoundingAndExtendedPrecisionInForce) {
    std::fesetround(FE_TOWARDZERO);
    EXPECT_FALSE(floatingPointEnvironmentInForce());
    setupFloatingPointEnvironment();
    EXPECT_TRUE(floatingPointEnvironmentInForce());
    // 1 + 2^-63 survives only with a 64-bit significand.
    volatile long double tiny = 0x1p-63L;
    EXPECT_NE(1.0L + tiny, 1.0L);
}

}  // namespace
}  // namespace noten
