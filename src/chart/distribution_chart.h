#pragma once

#include <QChartView>
#include <QString>
#include <array>
#include <string>

class QBarSet;
class QValueAxis;

namespace noten {

// The bar chart of how many grades count as each whole grade: one row "R1" over the columns
// "1" to "6", each bar labelled with its value. Written like the data point control it stands
// in for: select a column, then write its value as decimal text. Starts with six zeros.
class DistributionChart : public QChartView {
    Q_OBJECT

public:
    static constexpr int kColumns = 6;

    explicit DistributionChart(QWidget* parent = nullptr);

    // Selects the column 1 to 6 that the next setData writes. Throws EChartError otherwise.
    void setColumn(int column);
    int column() const { return column_; }

    // Writes the selected column's value: decimal digits only, within int. Throws EChartError
    // for any other text and leaves the chart unchanged.
    void setData(const QString& text);
    void setData(const std::string& text);

    // setColumn(column), then setData(text).
    void setChartPoint(int column, const std::string& text);

    // The value shown in column 1 to 6. Throws EChartError for another column.
    int value(int column) const;

protected:
    // The chart's tooltip belongs to the whole widget, not to the drawn items.
    bool viewportEvent(QEvent* event) override;

private:
    void rescaleValueAxis();

    QBarSet* bars_;
    QValueAxis* valueAxis_;
    std::array<int, kColumns> values_{};
    int column_ = 1;
};

}  // namespace noten
