#pragma once

#include <QWidget>
#include <string>

#include "app/error_box_reporter.h"
#include "commands/command_context.h"
#include "commands/interfaces.h"
#include "stats/grade_statistics.h"
#include "ui/input_dialog.h"

class QLabel;
class QPushButton;

namespace noten {

class DistributionChart;
class TooltipStyle;

// The main window "Notenstatistik": three captions, the result fields for mean, deviation
// and count, the distribution chart and the four command buttons at fixed places. Shows the
// results of the evaluations that its buttons run on the program-wide statistics record.
class TForm1 : public QWidget, public ResultDisplay {
    Q_OBJECT

public:
    // Builds the window hidden, at its place on the screen, with blank result fields.
    // `statistics` must outlive the window.
    explicit TForm1(GradeStatistics& statistics, QWidget* parent = nullptr);

    void showMean(const std::string& text) override;
    void showDeviation(const std::string& text) override;
    void showCount(const std::string& text) override;
    void setChartPoint(int column, const std::string& text) override;

    // The decimal separator of typed and shown numbers, re-read when the locale changes.
    char decimalSeparator() const { return decimalSeparator_; }

protected:
    void changeEvent(QEvent* event) override;
    // Keeps Enter with Shift, Ctrl or Alt from clicking a button.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Button2Click();
    void Button1Click();
    void FormCreate();
    void Button3Click();
    void Button4Click();

    CommandContext commandContext();

    TooltipStyle* tooltipStyle_;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* Button1;
    QPushButton* Button2;
    DistributionChart* VCF;
    QPushButton* Button3;
    QPushButton* Button4;

    GradeStatistics& statistics_;
    InputDialog input_;
    ErrorBoxReporter errors_;
    char decimalSeparator_;
};

}  // namespace noten
