#include "chart/distribution_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QHelpEvent>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <charconv>
#include <string_view>

#include "core/errors.h"

namespace noten {

namespace {

void requireColumn(int column) {
    if (column < 1 || column > DistributionChart::kColumns) {
        throw EChartError("Diagrammspalte " + std::to_string(column) + " gibt es nicht");
    }
}

// A count is written as decimal digits only: no sign, no blanks, no separators.
int parseCount(std::string_view text) {
    const bool digitsOnly =
        !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    int count = 0;
    if (digitsOnly) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (error == std::errc() && end == text.data() + text.size()) {
            return count;
        }
    }
    throw EChartError("'" + std::string(text) + "' ist keine gültige Anzahl für das Diagramm");
}

// The smallest tick step of 1, 2 or 5 times a power of ten that keeps at most five steps
// below the largest value.
int tickStep(int largest) {
    for (long long power = 1;; power *= 10) {
        for (long long factor : {1, 2, 5}) {
            const long long step = factor * power;
            if (largest / step < 5) {
                return static_cast<int>(step);
            }
        }
    }
}

}  // namespace

// Built with its own chart, so the view makes no default chart first.
DistributionChart::DistributionChart(QWidget* parent) : QChartView(new QChart(), parent) {
    QChart* chart = QChartView::chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    // The chart fills the whole control.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));

    bars_ = new QBarSet(QStringLiteral("R1"));
    bars_->append(QList<qreal>(kColumns, 0.0));
    bars_->setLabelColor(Qt::black);

    auto* series = new QBarSeries();
    series->append(bars_);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);

    auto* columnAxis = new QBarCategoryAxis();
    for (int column = 1; column <= kColumns; ++column) {
        columnAxis->append(QString::number(column));
    }
    chart->addAxis(columnAxis, Qt::AlignBottom);
    series->attachAxis(columnAxis);

    valueAxis_ = new QValueAxis();
    valueAxis_->setLabelFormat(QStringLiteral("%d"));
    valueAxis_->setTickType(QValueAxis::TicksDynamic);
    valueAxis_->setTickAnchor(0.0);
    valueAxis_->setMinorTickCount(0);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    series->attachAxis(valueAxis_);

    setFrameShape(QFrame::NoFrame);
    rescaleValueAxis();
}

void DistributionChart::setColumn(int column) {
    requireColumn(column);
    column_ = column;
}

void DistributionChart::setData(const QString& text) {
    setData(text.toStdString());
}

void DistributionChart::setData(const std::string& text) {
    const int count = parseCount(text);
    values_[static_cast<std::size_t>(column_ - 1)] = count;
    bars_->replace(column_ - 1, count);
    rescaleValueAxis();
}

void DistributionChart::setChartPoint(int column, const std::string& text) {
    setColumn(column);
    setData(text);
}

int DistributionChart::value(int column) const {
    requireColumn(column);
    return values_[static_cast<std::size_t>(column - 1)];
}

bool DistributionChart::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (toolTip().isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), toolTip(), viewport(), QRect(),
                               toolTipDuration());
        }
        return true;
    }
    return QChartView::viewportEvent(event);
}

void DistributionChart::rescaleValueAxis() {
    int largest = 0;
    for (int count : values_) {
        largest = std::max(largest, count);
    }
    // One step of room above the tallest bar keeps its label inside the plot.
    const int step = tickStep(largest);
    const long long top = (static_cast<long long>(largest) / step + 1) * step;
    valueAxis_->setTickInterval(step);
    valueAxis_->setRange(0.0, static_cast<qreal>(top));
}

}  // namespace noten
