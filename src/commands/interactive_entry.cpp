#include "commands/interactive_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/result_display.h"
#include "core/errors.h"
#include "core/floating_point.h"
#include "core/text_to_number.h"

namespace noten {

namespace {

// The store keeps one place free, so the entry ends after this many grades.
constexpr std::int32_t kMaxEnteredGrades = kGradeStoreSize - 1;

const std::string kCaption = "Einzelnote";
const std::string kPrompt = "Einzelnote eingeben (Berechnung bei 0) : ";

// Asks until an entry converts and stores it in currentGrade; an empty (or cancelled) entry is
// 0. A typing mistake is shown and the grade asked again, currentGrade keeping its value, so
// the grades typed before it are not lost.
void readNextGrade(CommandContext& context) {
    for (;;) {
        const std::string text = context.input.inputText(kCaption, kPrompt, "");
        if (text.empty()) {
            context.statistics.currentGrade = 0.0f;
            return;
        }
        try {
            context.statistics.currentGrade =
                storeFloat(storeDouble(textToNumber(text, context.decimalSeparator)));
            return;
        } catch (const EConvertError& error) {
            context.errors.showError(error);
        } catch (const EOverflow& error) {
            context.errors.showError(error);
        }
    }
}

}  // namespace

void enterGrades(CommandContext& context) {
    GradeStatistics& statistics = context.statistics;
    statistics.gradeCount = 0;
    statistics.gradeSum = 0.0f;
    statistics.resetTally();

    GradeStore store{};
    while (statistics.gradeCount < kMaxEnteredGrades) {
        readNextGrade(context);
        const float grade = statistics.currentGrade;
        // 0 of either sign, empty, cancelled or negative ends the entry and is not a grade.
        if (!(grade > 0.0f)) {
            break;
        }
        statistics.addToSum(grade);
        store[static_cast<std::size_t>(statistics.gradeCount)] = grade;
        ++statistics.gradeCount;
        // A grade too large to classify fails here; that ends the command, it is no typo.
        statistics.tallyGrade(grade);
    }
    if (statistics.gradeCount == 0) {
        return;
    }

    statistics.computeMean();
    const float deviation = statistics.computeDeviation(store);
    showResults(statistics, deviation, context.display, context.decimalSeparator);
}

}  // namespace noten
