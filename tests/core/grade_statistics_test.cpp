#include "stats/grade_statistics.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/errors.h"
#include "core/floating_point.h"

namespace noten {
namespace {

std::uint32_t bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

// Runs the sequence both evaluation commands share, with the count already known.
float evaluate(GradeStatistics& statistics, GradeStore& store, const std::vector<float>& grades) {
    statistics.gradeCount = static_cast<std::int32_t>(grades.size());
    statistics.gradeSum = 0.0f;
    statistics.resetTally();
    for (std::size_t i = 0; i < grades.size(); ++i) {
        statistics.currentGrade = grades[i];
        statistics.addToSum(grades[i]);
        store[i] = grades[i];
        statistics.tallyGrade(grades[i]);
    }
    statistics.computeMean();
    return statistics.computeDeviation(store);
}

struct ClassifyCase {
    float grade;
    std::int32_t wholeGrade;
};

TEST(ClassifyGrade, RoundsHalvesUpAndWrapsLikeTheIntegerConversion) {
    const ClassifyCase cases[] = {
        {0.4f, 0},
        {0.45f, 0},
        {0.5f, 1},
        {1.4f, 1},
        {1.45f, 1},
        {1.5f, 2},
        {2.5f, 3},
        {6.4f, 6},
        {6.49f, 6},
        {6.5f, 7},
        {0.0f, 0},
        {-0.5f, 0},
        {-1.0f, 0},
        {-7.0f, -6},
        // b = 4294967365 keeps only its low 32 bits, 69, so this grade counts under 6.
        {429496736.0f, 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyGrade(c.grade), c.wholeGrade) << "grade " << c.grade;
    }
}

TEST(ClassifyGrade, GradeBeyondTheIntegerRangeIsAnInvalidOperation) {
    EXPECT_THROW(classifyGrade(1e18f), EInvalidOp);
    EXPECT_THROW(classifyGrade(-1e18f), EInvalidOp);
    EXPECT_THROW(classifyGrade(std::numeric_limits<float>::infinity()), EInvalidOp);
    EXPECT_THROW(classifyGrade(std::numeric_limits<float>::quiet_NaN()), EInvalidOp);
}

TEST(TallyGrade, CountsOnlyWholeGradesOneToSix) {
    GradeStatistics statistics;
    for (float grade : {0.4f, 0.5f, 1.5f, 2.5f, 6.49f, 6.5f, -7.0f, 429496736.0f}) {
        statistics.tallyGrade(grade);
    }
    const std::array<std::int32_t, 7> expected{0, 1, 1, 1, 0, 0, 2};
    EXPECT_EQ(statistics.gradeTally, expected);
}

struct EvaluationCase {
    std::vector<float> grades;
    float mean;
    float deviation;
    float squaredDifferences;  // gradeSum afterwards
    std::array<std::int32_t, 7> tally;
};

TEST(Evaluation, MatchesTheExtendedPrecisionResultsBitForBit) {
    const EvaluationCase cases[] = {
        {{1, 2, 3}, 2.0f, 0.8164966106414794921875f, 2.0f, {0, 1, 1, 1, 0, 0, 0}},
        {{2, 2.6f},
         2.2999999523162841796875f,
         0.2999999523162841796875f,
         0.17999994754791259765625f,
         {0, 0, 1, 1, 0, 0, 0}},
        {{1, 1.8f},
         1.39999997615814208984375f,
         0.39999997615814208984375f,
         0.3199999630451202392578125f,
         {0, 1, 1, 0, 0, 0, 0}},
        {{1, 2, 3, 4, 5, 6}, 3.5f, 1.707825183868408203125f, 17.5f, {0, 1, 1, 1, 1, 1, 1}},
        {{2, 2, 2}, 2.0f, 0.0f, 0.0f, {0, 0, 3, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        GradeStatistics statistics;
        GradeStore store{};
        const float deviation = evaluate(statistics, store, c.grades);
        EXPECT_EQ(bits(statistics.gradeMean), bits(c.mean)) << statistics.gradeMean;
        EXPECT_EQ(bits(deviation), bits(c.deviation)) << deviation;
        EXPECT_EQ(bits(statistics.gradeSum), bits(c.squaredDifferences)) << statistics.gradeSum;
        EXPECT_EQ(statistics.gradeTally, c.tally);
    }
}

TEST(Evaluation, VarianceIsRoundedToFloatBeforeTheRoot) {
    // 2, 2.6: the variance held as float is 0.089999973773956298828125; its root, not the root
    // of the unrounded quotient, gives the stored deviation.
    GradeStatistics statistics;
    statistics.gradeCount = 2;
    statistics.gradeMean = 2.2999999523162841796875f;
    GradeStore store{};
    store[0] = 2.0f;
    store[1] = 2.6f;
    EXPECT_EQ(bits(statistics.computeDeviation(store)), bits(0.2999999523162841796875f));
}

TEST(Evaluation, SumOfTwoAndTwoPointSixIsTheFloatNearestFourPointSix) {
    GradeStatistics statistics;
    statistics.addToSum(2.0f);
    statistics.addToSum(2.6f);
    EXPECT_EQ(bits(statistics.gradeSum), bits(4.599999904632568359375f));
}

TEST(ComputeMean, KeepsTheEarlierMeanWhenTheCountIsNotPositive) {
    GradeStatistics statistics;
    statistics.gradeMean = 2.0f;
    statistics.gradeSum = 7.0f;
    for (std::int32_t count : {0, -3}) {
        statistics.gradeCount = count;
        statistics.computeMean();
        EXPECT_EQ(statistics.gradeMean, 2.0f);
    }
}

TEST(ComputeDeviation, CountZeroIsZeroDividedByZero) {
    GradeStatistics statistics;
    statistics.gradeMean = 2.0f;
    statistics.gradeSum = 5.0f;
    GradeStore store{};
    try {
        statistics.computeDeviation(store);
        FAIL() << "no error";
    } catch (const EInvalidOp& error) {
        EXPECT_EQ(error.message(), "Fehler bei Fließkommaoperation");
    }
    EXPECT_EQ(bits(statistics.gradeSum), bits(0.0f));
    EXPECT_EQ(statistics.gradeMean, 2.0f);
}

TEST(ComputeDeviation, NegativeCountGivesNegativeZeroWithoutError) {
    GradeStatistics statistics;
    statistics.gradeCount = -3;
    statistics.gradeMean = 2.0f;
    GradeStore store{};
    const float deviation = statistics.computeDeviation(store);
    EXPECT_EQ(bits(deviation), bits(-0.0f));
    EXPECT_EQ(statistics.gradeMean, 2.0f);
}

TEST(Evaluation, FirstGradeOfThreeTimesTenToTheThirtyEightIsStoredThenRefused) {
    GradeStatistics statistics;
    GradeStore store{};
    try {
        evaluate(statistics, store, {3e38f, 2.0f});
        FAIL() << "no error";
    } catch (const EInvalidOp& error) {
        EXPECT_EQ(error.message(), "Fehler bei Fließkommaoperation");
    }
    EXPECT_EQ(statistics.gradeSum, 300000000549775575777803994281145270272.0f);
    EXPECT_EQ(store[0], 3e38f);
    EXPECT_EQ(statistics.gradeTally, (std::array<std::int32_t, 7>{}));
}

TEST(Evaluation, SquaredDifferencesOverflowAtThe421stAndKeepTheLastSumThatFit) {
    std::vector<float> grades;
    for (int i = 0; i < 500; ++i) {
        grades.push_back(i % 2 == 0 ? 9e17f : -9e17f);
    }
    GradeStatistics statistics;
    GradeStore store{};
    try {
        evaluate(statistics, store, grades);
        FAIL() << "no error";
    } catch (const EOverflow& error) {
        EXPECT_EQ(error.message(), "Überlauf bei Fließkommaoperation");
    }
    EXPECT_EQ(statistics.gradeMean, 0.0f);
    // The sum of the first 420 squared differences, accumulated in float as stored.
    const long double square = static_cast<long double>(9e17f) * static_cast<long double>(9e17f);
    float expected = 0.0f;
    for (int i = 0; i < 420; ++i) {
        expected = static_cast<float>(square + static_cast<long double>(expected));
    }
    EXPECT_EQ(bits(statistics.gradeSum), bits(expected));
    EXPECT_GT(statistics.gradeSum, 3.40e38f);
}

TEST(AddToSum, OverflowLeavesTheSumUnchanged) {
    GradeStatistics statistics;
    statistics.gradeSum = std::numeric_limits<float>::max();
    EXPECT_THROW(statistics.addToSum(std::numeric_limits<float>::max()), EOverflow);
    EXPECT_EQ(statistics.gradeSum, std::numeric_limits<float>::max());
}

TEST(ComputeDeviation, RefusesACountBeyondTheStore) {
    GradeStatistics statistics;
    statistics.gradeCount = kGradeStoreSize + 1;
    GradeStore store{};
    EXPECT_THROW(statistics.computeDeviation(store), Exception);
}

}  // namespace
}  // namespace noten
