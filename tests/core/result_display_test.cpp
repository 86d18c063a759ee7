#include "commands/result_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"

namespace noten {
namespace {

// Records every write in order; fails the chart write of one column when asked to.
class RecordingDisplay : public ResultDisplay {
public:
    std::vector<std::string> writes;
    int failingColumn = 0;

    void showMean(const std::string& text) override { writes.push_back("mean=" + text); }
    void showDeviation(const std::string& text) override { writes.push_back("deviation=" + text); }
    void showCount(const std::string& text) override { writes.push_back("count=" + text); }
    void setChartPoint(int column, const std::string& text) override {
        if (column == failingColumn) {
            throw EChartError("Diagramm verweigert");
        }
        writes.push_back(std::to_string(column) + "=" + text);
    }
};

GradeStatistics oneTwoThree() {
    GradeStatistics statistics;
    statistics.gradeCount = 3;
    statistics.gradeMean = 2.0f;
    statistics.gradeTally = {0, 1, 1, 1, 0, 0, 0};
    return statistics;
}

TEST(ShowResults, WritesTheFieldsThenTheSixColumnsInOrder) {
    RecordingDisplay display;
    showResults(oneTwoThree(), 0.8164966106414794921875f, display, ',');
    const std::vector<std::string> expected{"mean=2", "deviation=0,8", "count=3", "1=1", "2=1",
                                            "3=1",    "4=0",           "5=0",     "6=0"};
    EXPECT_EQ(display.writes, expected);
}

TEST(ShowResults, ANegativeCountFromAnEarlierMeanShowsAsItIs) {
    GradeStatistics statistics = oneTwoThree();
    statistics.gradeCount = -3;
    statistics.gradeTally = {};
    RecordingDisplay display;
    showResults(statistics, -0.0f, display, ',');
    EXPECT_EQ(display.writes[0], "mean=2");
    EXPECT_EQ(display.writes[1], "deviation=0");
    EXPECT_EQ(display.writes[2], "count=-3");
}

TEST(ShowResults, AFailingChartWriteKeepsWhatWasWrittenBeforeIt) {
    RecordingDisplay display;
    display.failingColumn = 3;
    EXPECT_THROW(showResults(oneTwoThree(), 0.5f, display, ','), EChartError);
    const std::vector<std::string> expected{"mean=2", "deviation=0,5", "count=3", "1=1", "2=1"};
    EXPECT_EQ(display.writes, expected);
}

TEST(ClearResults, BlanksTheFieldsAndZeroesEveryColumn) {
    RecordingDisplay display;
    clearResults(display);
    const std::vector<std::string> expected{"mean=", "deviation=", "count=", "1=0", "2=0",
                                            "3=0",   "4=0",        "5=0",    "6=0"};
    EXPECT_EQ(display.writes, expected);
}

TEST(BlankResults, EmptiesOnlyTheThreeFields) {
    RecordingDisplay display;
    blankResults(display);
    EXPECT_EQ(display.writes, (std::vector<std::string>{"mean=", "deviation=", "count="}));
}

}  // namespace
}  // namespace noten
