#include "commands/file_evaluation.h"

#include <string>

#include "commands/result_display.h"

namespace noten {

float evaluateGradeFile(GradeReader& reader, GradeStatistics& statistics) {
    // The count is stored only once it is known to be valid.
    const std::int32_t count = reader.readCount();
    statistics.gradeCount = count;
    statistics.gradeSum = 0.0f;
    statistics.resetTally();
    GradeStore store;
    for (std::int32_t i = 0; i < count; ++i) {
        statistics.currentGrade = reader.readGrade(i + 1, count);
        statistics.addToSum(statistics.currentGrade);
        store[static_cast<std::size_t>(i)] = statistics.currentGrade;
        statistics.tallyGrade(statistics.currentGrade);
    }
    statistics.computeMean();
    return statistics.computeDeviation(store);
}

void evaluateFromFile(CommandContext& context) {
    GradeReader reader;  // closes the file on every way out, errors included
    while (true) {
        const std::string name =
            context.input.inputText("Notenstatistik aus Datei", "Dateiname (ohne Extension): ", "");
        if (name.empty()) {
            return;
        }
        // The extension is always appended and the name used exactly as typed.
        if (reader.open(name + ".txt")) {
            break;
        }
    }
    const float deviation = evaluateGradeFile(reader, context.statistics);
    showResults(context.statistics, deviation, context.display, context.decimalSeparator);
    reader.close();
}

}  // namespace noten
