#include "commands/result_display.h"

#include "core/number_to_text.h"

namespace noten {

void showResults(const GradeStatistics& statistics, float gradeDeviation, ResultDisplay& display,
                 char decimalSeparator) {
    display.showMean(formatTenths(statistics.gradeMean, decimalSeparator));
    display.showDeviation(formatTenths(gradeDeviation, decimalSeparator));
    display.showCount(integerToText(statistics.gradeCount));
    for (int column = 1; column <= 6; ++column) {
        display.setChartPoint(
            column, integerToText(statistics.gradeTally[static_cast<std::size_t>(column)]));
    }
}

void blankResults(ResultDisplay& display) {
    display.showMean("");
    display.showDeviation("");
    display.showCount("");
}

void clearResults(ResultDisplay& display) {
    blankResults(display);
    for (int column = 1; column <= 6; ++column) {
        display.setChartPoint(column, "0");
    }
}

}  // namespace noten
