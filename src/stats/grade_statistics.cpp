#include "stats/grade_statistics.h"

#include <cmath>

#include "core/errors.h"
#include "core/floating_point.h"

namespace noten {

void GradeStatistics::resetTally() {
    gradeTally.fill(0);
}

void GradeStatistics::addToSum(float grade) {
    gradeSum = storeFloat(static_cast<long double>(gradeSum) + static_cast<long double>(grade));
}

void GradeStatistics::tallyGrade(float grade) {
    const std::int32_t wholeGrade = classifyGrade(grade);
    if (wholeGrade >= 1 && wholeGrade <= 6) {
        ++gradeTally[static_cast<std::size_t>(wholeGrade)];
    }
}

void GradeStatistics::computeMean() {
    if (gradeCount > 0) {
        gradeMean = storeFloat(divide(gradeSum, static_cast<long double>(gradeCount)));
    }
}

float GradeStatistics::computeDeviation(const GradeStore& store) {
    gradeSum = 0.0f;
    if (gradeCount > kGradeStoreSize) {
        throw Exception("Eine Auswertung fasst höchstens 1000 Noten");
    }
    for (std::int32_t i = 0; i < gradeCount; ++i) {
        const long double difference =
            static_cast<long double>(store[static_cast<std::size_t>(i)]) -
            static_cast<long double>(gradeMean);
        gradeSum = storeFloat(difference * difference + static_cast<long double>(gradeSum));
    }
    // Always divided, so a count of 0 is the 0 / 0 error and a negative count gives -0.0.
    const float variance = storeFloat(divide(gradeSum, static_cast<long double>(gradeCount)));
    // sqrt keeps the sign of a zero, so the root of -0.0 is -0.0.
    return storeFloat(std::sqrt(static_cast<double>(variance)));
}

std::int32_t classifyGrade(float grade) {
    const long double shifted = static_cast<long double>(grade) + 0.5L;
    const long double tenfold = shifted * 10.0L;
    return truncateToInt(tenfold) / 10;
}

}  // namespace noten
