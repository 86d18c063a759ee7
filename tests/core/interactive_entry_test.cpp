#include "commands/interactive_entry.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/errors.h"
#include "scripted_front_end.h"

namespace noten {
namespace {

using testing::ScriptedFrontEnd;
using Answers = std::vector<std::optional<std::string>>;
using Tally = std::array<std::int32_t, 7>;

const std::string kPrompt = "Einzelnote eingeben (Berechnung bei 0) : ";
const std::string kNotANumber = "' ist kein gültiger Fließkommawert";
const std::string kOverflow = "Überlauf bei Fließkommaoperation";

std::vector<std::string> results(const std::string& mean, const std::string& deviation,
                                 const std::string& count, const Tally& tally) {
    std::vector<std::string> writes{"mean=" + mean, "deviation=" + deviation, "count=" + count};
    for (int column = 1; column <= 6; ++column) {
        writes.push_back("chart" + std::to_string(column) + "=" + std::to_string(tally[column]));
    }
    return writes;
}

// A record left by an earlier evaluation, so that what the command overwrites shows.
void fillWithEarlierRun(GradeStatistics& statistics) {
    statistics.gradeCount = 7;
    statistics.currentGrade = 3.0f;
    statistics.gradeMean = 4.5f;
    statistics.gradeSum = 9.0f;
    statistics.gradeTally = {0, 1, 2, 3, 1, 0, 0};
}

struct RunCase {
    std::string name;
    Answers answers;
    std::vector<std::string> shown;
    std::int32_t gradeCount;
    float gradeMean;
    float gradeSum;  // the sum of squared differences after the evaluation
    float currentGrade;
};

TEST(EnterGrades, EvaluatesTheGradesBeforeTheEndingEntry) {
    const std::optional<std::string> cancel = ScriptedFrontEnd::kCancel;
    const std::vector<RunCase> cases{
        {"2, 3, 0", {"2", "3", "0"}, results("2,5", "0,5", "2", {0, 0, 1, 1}), 2, 2.5f, 0.5f, 0.0f},
        {"2, cancelled", {"2", cancel}, results("2", "0", "1", {0, 0, 1}), 1, 2.0f, 0.0f, 0.0f},
        {"2, 3, -1: the negative end is not summed",
         {"2", "3", "-1"},
         results("2,5", "0,5", "2", {0, 0, 1, 1}),
         2,
         2.5f,
         0.5f,
         -1.0f},
        {"2, 3, -0",
         {"2", "3", "-0"},
         results("2,5", "0,5", "2", {0, 0, 1, 1}),
         2,
         2.5f,
         0.5f,
         -0.0f},
        {"2,5 and blanks around 3",
         {"2,5", " 3 ", ""},
         results("2,7", "0,2", "2", {0, 0, 0, 2}),
         2,
         2.75f,
         0.125f,
         0.0f},
        {"1e1 is 10, in no bar", {"1e1", "0"}, results("10", "0", "1", {}), 1, 10.0f, 0.0f, 0.0f},
        {"the separator alone ends",
         {"2", ",", "5"},
         results("2", "0", "1", {0, 0, 1}),
         1,
         2.0f,
         0.0f,
         0.0f},
        {"0,4 and 7 count in no bar",
         {"0,4", "7", "0"},
         results("3,7", "3,3", "2", {}),
         2,
         3.7f,
         21.78f,
         0.0f},
        {"1E-50 becomes 0 and ends",
         {"1", "1E-50", "4"},
         results("1", "0", "1", {0, 1}),
         1,
         1.0f,
         0.0f,
         0.0f},
        {"0,5 and 6,49 are the edges of the bars",
         {"0,5", "6,49", "0"},
         results("3,4", "2,9", "2", {0, 1, 0, 0, 0, 0, 1}),
         2,
         3.495f,
         17.94005f,
         0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFrontEnd frontEnd(c.answers);
        fillWithEarlierRun(frontEnd.statistics);
        CommandContext context = frontEnd.context(',');
        enterGrades(context);
        EXPECT_EQ(frontEnd.displayWrites, c.shown);
        EXPECT_TRUE(frontEnd.errorMessages.empty());
        const GradeStatistics& s = frontEnd.statistics;
        EXPECT_EQ(s.gradeCount, c.gradeCount);
        EXPECT_FLOAT_EQ(s.gradeMean, c.gradeMean);
        EXPECT_NEAR(s.gradeSum, c.gradeSum, 1e-4f);
        EXPECT_EQ(s.currentGrade, c.currentGrade);
        EXPECT_EQ(std::signbit(s.currentGrade), std::signbit(c.currentGrade));
        // The answers after the ending entry are never asked for.
        EXPECT_EQ(frontEnd.questions.size(), c.answers.size() - frontEnd.answersLeft());
    }
}

TEST(EnterGrades, AsksInTheGradeDialogWithAnEmptyDefault) {
    ScriptedFrontEnd frontEnd({"2", "abc", "3", "0"});
    CommandContext context = frontEnd.context(',');
    enterGrades(context);
    ASSERT_EQ(frontEnd.questions.size(), 4u);
    for (const auto& question : frontEnd.questions) {
        EXPECT_EQ(question.caption, "Einzelnote");
        EXPECT_EQ(question.prompt, kPrompt);
        EXPECT_EQ(question.defaultText, "");
    }
}

TEST(EnterGrades, AnEndingFirstEntryShowsNothingAndClearsTheRun) {
    const std::vector<std::optional<std::string>> endings{
        "", ScriptedFrontEnd::kCancel, "0", "-0", ",", "0,0e5", "-1", "-2,5", "1E-50"};
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.value_or("<cancelled>"));
        ScriptedFrontEnd frontEnd({ending});
        fillWithEarlierRun(frontEnd.statistics);
        CommandContext context = frontEnd.context(',');
        EXPECT_NO_THROW(enterGrades(context));
        EXPECT_TRUE(frontEnd.displayWrites.empty());
        EXPECT_TRUE(frontEnd.errorMessages.empty());
        const GradeStatistics& s = frontEnd.statistics;
        EXPECT_EQ(s.gradeCount, 0);
        EXPECT_EQ(s.gradeSum, 0.0f);
        EXPECT_EQ(s.gradeTally, (Tally{}));
        EXPECT_EQ(s.gradeMean, 4.5f);
        EXPECT_LE(s.currentGrade, 0.0f);
    }
}

TEST(EnterGrades, ATypingMistakeIsReportedAndTheSameGradeAskedAgain) {
    struct MistakeCase {
        std::string typed;
        char separator;
        std::string message;
    };
    const std::vector<MistakeCase> cases{
        {"2.5", ',', "'2.5" + kNotANumber},
        {"2,5", '.', "'2,5" + kNotANumber},
        {"   ", ',', "'   " + kNotANumber},
        {"abc", ',', "'abc" + kNotANumber},
        {"1e5000", ',', "'1e5000" + kNotANumber},
        {"1,19e4932", ',', "'1,19e4932" + kNotANumber},
        {"1E39", ',', kOverflow},
        {"-1E39", ',', kOverflow},
        {"1e400", ',', kOverflow},  // beyond the double range too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ScriptedFrontEnd frontEnd({"2", c.typed, "3", "0"});
        float gradeWhenShown = -99.0f;
        std::int32_t countWhenShown = -99;
        frontEnd.onError = [&](const Exception&) {
            gradeWhenShown = frontEnd.statistics.currentGrade;
            countWhenShown = frontEnd.statistics.gradeCount;
        };
        CommandContext context = frontEnd.context(c.separator);
        enterGrades(context);
        EXPECT_EQ(frontEnd.errorMessages, std::vector<std::string>{c.message});
        EXPECT_EQ(gradeWhenShown, 2.0f);  // currentGrade keeps the grade before
        EXPECT_EQ(countWhenShown, 1);
        const std::string sep(1, c.separator);
        const std::vector<std::string> expectedLog{"ask Einzelnote",
                                                   "ask Einzelnote",
                                                   "error " + c.message,
                                                   "ask Einzelnote",
                                                   "ask Einzelnote",
                                                   "mean=2" + sep + "5",
                                                   "deviation=0" + sep + "5",
                                                   "count=2",
                                                   "chart1=0",
                                                   "chart2=1",
                                                   "chart3=1",
                                                   "chart4=0",
                                                   "chart5=0",
                                                   "chart6=0"};
        EXPECT_EQ(frontEnd.log, expectedLog);
        EXPECT_EQ(frontEnd.statistics.gradeCount, 2);
    }
}

TEST(EnterGrades, RepeatedMistakesOnTheFirstGradeThenCancelShowNothing) {
    ScriptedFrontEnd frontEnd({"abc", "2.5", ScriptedFrontEnd::kCancel});
    fillWithEarlierRun(frontEnd.statistics);
    CommandContext context = frontEnd.context(',');
    enterGrades(context);
    EXPECT_EQ(frontEnd.errorMessages,
              (std::vector<std::string>{"'abc" + kNotANumber, "'2.5" + kNotANumber}));
    EXPECT_TRUE(frontEnd.displayWrites.empty());
    EXPECT_EQ(frontEnd.statistics.gradeCount, 0);
    EXPECT_EQ(frontEnd.statistics.gradeMean, 4.5f);
}

TEST(EnterGrades, AGradeTooLargeToClassifyEndsTheCommand) {
    // Not a typing mistake: the error leaves the command, with the grade summed and counted.
    for (const std::string huge : {"1e18", "3e38"}) {
        SCOPED_TRACE(huge);
        ScriptedFrontEnd frontEnd({"2", huge, "3", "0"});
        fillWithEarlierRun(frontEnd.statistics);
        CommandContext context = frontEnd.context(',');
        EXPECT_THROW(enterGrades(context), EInvalidOp);
        EXPECT_TRUE(frontEnd.errorMessages.empty());
        EXPECT_TRUE(frontEnd.displayWrites.empty());
        EXPECT_EQ(frontEnd.answersLeft(), 2u);
        const GradeStatistics& s = frontEnd.statistics;
        EXPECT_EQ(s.gradeCount, 2);
        EXPECT_EQ(s.currentGrade, std::stof(huge));
        EXPECT_EQ(s.gradeSum, static_cast<float>(2.0L + std::stof(huge)));
        EXPECT_EQ(s.gradeTally, (Tally{0, 0, 1}));
        EXPECT_EQ(s.gradeMean, 4.5f);
    }
}

TEST(EnterGrades, AChartErrorLeavesTheCommandWithTheFieldsWritten) {
    ScriptedFrontEnd frontEnd({"2", "3", "0"});
    frontEnd.failingChartColumn = 3;
    CommandContext context = frontEnd.context(',');
    EXPECT_THROW(enterGrades(context), EChartError);
    EXPECT_TRUE(frontEnd.errorMessages.empty());
    EXPECT_EQ(
        frontEnd.displayWrites,
        (std::vector<std::string>{"mean=2,5", "deviation=0,5", "count=2", "chart1=0", "chart2=1"}));
}

TEST(EnterGrades, EndsAfterTheLastGradeTheStoreHolds) {
    // 999 grades fill the store but for one place: the entry ends without asking again.
    Answers answers(998, std::optional<std::string>("2"));
    answers.push_back("4");
    answers.push_back("2");  // never asked
    ScriptedFrontEnd frontEnd(answers);
    CommandContext context = frontEnd.context(',');
    enterGrades(context);
    EXPECT_EQ(frontEnd.questions.size(), 999u);
    EXPECT_EQ(frontEnd.answersLeft(), 1u);
    EXPECT_EQ(frontEnd.displayWrites, results("2", "0", "999", {0, 0, 998, 0, 1}));
    const GradeStatistics& s = frontEnd.statistics;
    EXPECT_EQ(s.gradeCount, 999);
    EXPECT_EQ(s.currentGrade, 4.0f);
    // mean (998 * 2 + 4) / 999; the squared differences sum to about 3.996
    EXPECT_FLOAT_EQ(s.gradeMean, 2000.0f / 999.0f);
    EXPECT_NEAR(s.gradeSum, 998.0 * 4.0 / 999.0, 1e-3);
}

TEST(EnterGrades, NineHundredNinetyEightGradesThenZero) {
    Answers answers(998, std::optional<std::string>("1"));
    answers.push_back("0");
    ScriptedFrontEnd frontEnd(answers);
    CommandContext context = frontEnd.context(',');
    enterGrades(context);
    EXPECT_EQ(frontEnd.answersLeft(), 0u);
    EXPECT_EQ(frontEnd.displayWrites, results("1", "0", "998", {0, 998}));
    EXPECT_EQ(frontEnd.statistics.currentGrade, 0.0f);
}

TEST(EnterGrades, ASecondRunStartsAfresh) {
    ScriptedFrontEnd frontEnd({"1", "2", "3", "0", "6", ""});
    CommandContext context = frontEnd.context(',');
    enterGrades(context);
    enterGrades(context);
    const std::vector<std::string> second = results("6", "0", "1", {0, 0, 0, 0, 0, 0, 1});
    ASSERT_EQ(frontEnd.displayWrites.size(), 18u);
    EXPECT_EQ(
        std::vector<std::string>(frontEnd.displayWrites.begin() + 9, frontEnd.displayWrites.end()),
        second);
    EXPECT_EQ(frontEnd.statistics.gradeTally, (Tally{0, 0, 0, 0, 0, 0, 1}));
}

}  // namespace
}  // namespace noten
