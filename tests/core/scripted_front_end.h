#pragma once

// A front end for command tests: answers the dialogs from a script and records, in one ordered
// log, every question asked, every result written and every error shown.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commands/command_context.h"
#include "commands/interfaces.h"
#include "core/errors.h"
#include "stats/grade_statistics.h"

namespace noten::testing {

class ScriptedFrontEnd : public TextInput, public ResultDisplay, public ErrorReporter {
public:
    // A cancelled dialog: inputText returns the default text.
    static constexpr std::nullopt_t kCancel = std::nullopt;

    struct Question {
        std::string caption;
        std::string prompt;
        std::string defaultText;
    };

    // The statistics record the commands work on; starts zero like the program's.
    GradeStatistics statistics;

    // Every question in order.
    std::vector<Question> questions;
    // Result writes in order: "mean=2,5", "deviation=0,5", "count=2", "chart1=0" ...
    std::vector<std::string> displayWrites;
    // The messages of the errors shown, in order.
    std::vector<std::string> errorMessages;
    // Everything above interleaved: "ask <caption>", the display writes, "error <message>".
    std::vector<std::string> log;

    // Chart writes to this column (1 to 6) throw EChartError; 0 means none fails.
    int failingChartColumn = 0;

    // Called after an error is recorded, while the command still waits on the box (to look at
    // the state the command is in at that moment).
    std::function<void(const Exception&)> onError;

    ScriptedFrontEnd() = default;
    explicit ScriptedFrontEnd(std::vector<std::optional<std::string>> answers) {
        for (auto& answer : answers) {
            answers_.push_back(std::move(answer));
        }
    }

    // Queues one more answer; kCancel for a cancelled dialog.
    void answer(std::optional<std::string> text) { answers_.push_back(std::move(text)); }

    std::size_t answersLeft() const { return answers_.size(); }

    // A context over this front end and `statistics`.
    CommandContext context(char decimalSeparator = ',') {
        return CommandContext{statistics, *this, *this, *this, decimalSeparator};
    }

    // When the script has run out the test fails and the dialog is cancelled, which ends
    // every command's loop.
    std::string inputText(const std::string& caption, const std::string& prompt,
                          const std::string& defaultText) override {
        questions.push_back({caption, prompt, defaultText});
        log.push_back("ask " + caption);
        if (answers_.empty()) {
            ADD_FAILURE() << "dialog \"" << caption << "\" asked with no scripted answer left";
            return defaultText;
        }
        std::optional<std::string> next = std::move(answers_.front());
        answers_.pop_front();
        return next ? *next : defaultText;
    }

    void showMean(const std::string& text) override { write("mean=" + text); }
    void showDeviation(const std::string& text) override { write("deviation=" + text); }
    void showCount(const std::string& text) override { write("count=" + text); }
    void setChartPoint(int column, const std::string& text) override {
        if (column == failingChartColumn) {
            throw EChartError("Diagrammspalte " + std::to_string(column) + " verweigert");
        }
        write("chart" + std::to_string(column) + "=" + text);
    }

    void showError(const Exception& error) override {
        errorMessages.push_back(error.message());
        log.push_back("error " + error.message());
        if (onError) {
            onError(error);
        }
    }

private:
    void write(std::string entry) {
        log.push_back(entry);
        displayWrites.push_back(std::move(entry));
    }

    std::deque<std::optional<std::string>> answers_;
};

}  // namespace noten::testing
