#pragma once

#include <cfloat>
#include <cstdint>

// The statistics are defined in the x87 80-bit extended format: 64-bit significand,
// rounding to nearest, rounded to 32-bit float only where a value is stored.
static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended format");

namespace noten {

// Puts rounding to nearest and 64-bit intermediate precision in force for the calling thread
// and checks that it took. Throws Exception when the environment cannot be established.
void setupFloatingPointEnvironment();

// True when rounding to nearest and (on x87) 64-bit precision control are in force.
bool floatingPointEnvironmentInForce();

// Rounds an extended value to a 32-bit float, as a store into a float field does.
// A finite value whose rounding exceeds the float range throws EOverflow; NaN throws
// EInvalidOp. Underflow rounds silently to a denormal or zero.
float storeFloat(long double value);

// Rounds an extended value to a 64-bit double with the same rules as storeFloat.
double storeDouble(long double value);

// a / b in extended precision: 0 / 0 throws EInvalidOp, x / 0 for x != 0 throws EZeroDivide.
long double divide(long double dividend, long double divisor);

// Truncates toward zero to a signed 64-bit integer and returns its low 32 bits as a signed
// 32-bit integer (so 3000000000 gives -1294967296). NaN, infinities and values whose
// truncation lies outside the signed 64-bit range throw EInvalidOp.
std::int32_t truncateToInt(long double value);

}  // namespace noten
