#pragma once

#include <array>
#include <cstdint>

namespace noten {

// Number of grades one evaluation can hold.
inline constexpr int kGradeStoreSize = 1000;

// The grades of one evaluation command; lives only while the command runs.
using GradeStore = std::array<float, kGradeStoreSize>;

// The program-wide statistics record. Zero at start and never reset as a whole: each
// evaluation overwrites its fields in a fixed order, so values survive between commands.
// Every intermediate is computed in long double and rounded to float only where stored.
struct GradeStatistics {
    std::int32_t gradeCount = 0;
    float currentGrade = 0.0f;
    float gradeMean = 0.0f;
    float gradeSum = 0.0f;  // running sum of grades; after computeDeviation the squared differences
    std::array<std::int32_t, 7> gradeTally{};  // index 1 to 6 used

    // gradeTally[0..6] := 0.
    void resetTally();

    // gradeSum := gradeSum + grade, stored as float. Throws EOverflow, gradeSum unchanged.
    void addToSum(float grade);

    // Counts the grade under its whole grade when that is 1 to 6.
    // Throws EInvalidOp when the grade cannot be classified.
    void tallyGrade(float grade);

    // gradeMean := gradeSum / gradeCount when gradeCount > 0; otherwise unchanged.
    void computeMean();

    // Population standard deviation of store[0 .. gradeCount-1] about gradeMean; overwrites
    // gradeSum with the sum of squared differences. gradeCount == 0 throws EInvalidOp
    // (0 / 0); a negative gradeCount gives -0.0. A squared-difference sum beyond the float
    // range throws EOverflow with gradeSum keeping the last sum that fit.
    float computeDeviation(const GradeStore& store);
};

// The whole grade a grade counts as: trunc((grade + 0.5) * 10) / 10, with the 32-bit wrap of
// truncateToInt. Grades below 0.5 give 0 or less, from 6.5 on 7 or more.
// Throws EInvalidOp when (grade + 0.5) * 10 lies outside the signed 64-bit range.
std::int32_t classifyGrade(float grade);

}  // namespace noten
