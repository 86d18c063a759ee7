#pragma once

#include <string>

#include "core/errors.h"

namespace noten {

// Asks the user for one line of text in a modal dialog. Cancelling returns `defaultText`,
// so with an empty default a cancelled dialog cannot be told from an empty entry.
// Texts are UTF-8.
class TextInput {
public:
    virtual ~TextInput() = default;
    virtual std::string inputText(const std::string& caption, const std::string& prompt,
                                  const std::string& defaultText) = 0;
};

// Where an evaluation's results are shown: three result fields and a six-column chart.
class ResultDisplay {
public:
    virtual ~ResultDisplay() = default;
    virtual void showMean(const std::string& text) = 0;
    virtual void showDeviation(const std::string& text) = 0;
    virtual void showCount(const std::string& text) = 0;
    // Writes the count text of one chart column 1 to 6. Throws EChartError when the column
    // or the text is out of the chart's range.
    virtual void setChartPoint(int column, const std::string& text) = 0;
};

// Shows an error to the user and returns when it has been acknowledged.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(const Exception& error) = 0;
};

}  // namespace noten
