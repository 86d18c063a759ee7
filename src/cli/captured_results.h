#pragma once

#include <array>
#include <string>

#include "commands/interfaces.h"

namespace noten {

// A result display without a window: keeps the texts the result fields and the chart columns
// would show, for printing them afterwards.
class CapturedResults : public ResultDisplay {
public:
    void showMean(const std::string& text) override { mean_ = text; }
    void showDeviation(const std::string& text) override { deviation_ = text; }
    void showCount(const std::string& text) override { count_ = text; }
    // Throws EChartError for a column outside 1 to 6, like the chart does.
    void setChartPoint(int column, const std::string& text) override;

    const std::string& mean() const { return mean_; }
    const std::string& deviation() const { return deviation_; }
    const std::string& count() const { return count_; }
    // The text of chart column 1 to 6.
    const std::string& column(int column) const;

private:
    std::string mean_;
    std::string deviation_;
    std::string count_;
    std::array<std::string, 6> columns_;
};

}  // namespace noten
