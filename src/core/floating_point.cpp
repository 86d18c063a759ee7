#include "core/floating_point.h"

#include <cfenv>
#include <cmath>

#include "core/errors.h"

namespace noten {

namespace {

#if defined(__i386__) || defined(__x86_64__)
constexpr unsigned short kPrecisionControlMask = 0x0300;
constexpr unsigned short kPrecisionExtended = 0x0300;

unsigned short readX87ControlWord() {
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

void writeX87ControlWord(unsigned short word) {
    __asm__ volatile("fldcw %0" : : "m"(word));
}
#endif

}  // namespace

void setupFloatingPointEnvironment() {
    // Faults are detected by testing values after each operation, not by traps, so the
    // exception masks stay as the C runtime set them.
    std::fesetround(FE_TONEAREST);
#if defined(__i386__) || defined(__x86_64__)
    writeX87ControlWord(static_cast<unsigned short>(
        (readX87ControlWord() & ~kPrecisionControlMask) | kPrecisionExtended));
#endif
    if (!floatingPointEnvironmentInForce()) {
        throw Exception(
            "Die Gleitkommaumgebung (64-Bit-Mantisse, Rundung zum Nächsten) "
            "lässt sich nicht einstellen");
    }
}

bool floatingPointEnvironmentInForce() {
    if (std::fegetround() != FE_TONEAREST) {
        return false;
    }
#if defined(__i386__) || defined(__x86_64__)
    if ((readX87ControlWord() & kPrecisionControlMask) != kPrecisionExtended) {
        return false;
    }
#endif
    return true;
}

float storeFloat(long double value) {
    if (std::isnan(value)) {
        throw EInvalidOp();
    }
    const float stored = static_cast<float>(value);
    if (std::isinf(stored) && !std::isinf(value)) {
        throw EOverflow();
    }
    return stored;
}

double storeDouble(long double value) {
    if (std::isnan(value)) {
        throw EInvalidOp();
    }
    const double stored = static_cast<double>(value);
    if (std::isinf(stored) && !std::isinf(value)) {
        throw EOverflow();
    }
    return stored;
}

long double divide(long double dividend, long double divisor) {
    if (divisor == 0.0L) {
        if (dividend == 0.0L || std::isnan(dividend)) {
            throw EInvalidOp();
        }
        throw EZeroDivide();
    }
    const long double quotient = dividend / divisor;
    if (std::isnan(quotient)) {
        throw EInvalidOp();
    }
    return quotient;
}

std::int32_t truncateToInt(long double value) {
    // 2^63 is exact in the extended format, so both bounds compare exactly.
    constexpr long double kTwoTo63 = 9223372036854775808.0L;
    const long double truncated = std::trunc(value);
    if (!(truncated >= -kTwoTo63 && truncated < kTwoTo63)) {  // also false for NaN
        throw EInvalidOp();
    }
    const auto wide = static_cast<std::int64_t>(truncated);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

}  // namespace noten
