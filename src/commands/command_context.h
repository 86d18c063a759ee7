#pragma once

#include "commands/interfaces.h"
#include "stats/grade_statistics.h"

namespace noten {

// What an evaluation command works with: the program-wide record and the front end's services.
struct CommandContext {
    GradeStatistics& statistics;
    TextInput& input;
    ResultDisplay& display;
    ErrorReporter& errors;
    char decimalSeparator;
};

}  // namespace noten
