#pragma once

#include "commands/interfaces.h"
#include "stats/grade_statistics.h"

namespace noten {

// Writes mean, deviation and count (in this order), then chart columns 1 to 6 with the tally.
// An error of a chart write leaves everything written before it.
void showResults(const GradeStatistics& statistics, float gradeDeviation, ResultDisplay& display,
                 char decimalSeparator);

// Empties the three result fields (mean, deviation, count, in this order).
void blankResults(ResultDisplay& display);

// "Clear": blankResults, then chart columns 1 to 6 set to "0". Leaves the statistics alone.
void clearResults(ResultDisplay& display);

}  // namespace noten
