// The distribution chart as the window writes it: a column, then its count as decimal text.
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHelpEvent>
#include <QToolTip>
#include <QValueAxis>
#include <QtTest>
#include <cmath>
#include <string>

#include "chart/distribution_chart.h"
#include "core/errors.h"

namespace {

QBarSeries* seriesOf(const noten::DistributionChart& chart) {
    return qobject_cast<QBarSeries*>(chart.chart()->series().value(0));
}

QValueAxis* valueAxisOf(const noten::DistributionChart& chart) {
    const auto axes = chart.chart()->axes(Qt::Vertical);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

// The six values as drawn and as reported.
QList<int> shown(const noten::DistributionChart& chart) {
    QList<int> values;
    const QBarSet* bars = seriesOf(chart)->barSets().value(0);
    for (int column = 1; column <= 6; ++column) {
        const int value = chart.value(column);
        if (bars->at(column - 1) != value) {
            return {};
        }
        values.append(value);
    }
    return values;
}

QString chartErrorOf(const std::function<void()>& write) {
    try {
        write();
    } catch (const noten::EChartError& error) {
        return QString::fromStdString(error.message());
    }
    return QStringLiteral("(no error)");
}

}  // namespace

class DistributionChartTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithOneRowOfSixZeros() {
        noten::DistributionChart chart;
        QCOMPARE(shown(chart), QList<int>({0, 0, 0, 0, 0, 0}));
        const QBarSeries* series = seriesOf(chart);
        QCOMPARE(chart.chart()->series().size(), 1);
        QCOMPARE(series->count(), 1);
        QCOMPARE(series->barSets().first()->label(), QStringLiteral("R1"));
        const auto columnAxes = chart.chart()->axes(Qt::Horizontal);
        QCOMPARE(columnAxes.size(), 1);
        auto* categories = qobject_cast<QBarCategoryAxis*>(columnAxes.first());
        QVERIFY(categories != nullptr);
        QCOMPARE(categories->categories(), QStringList({"1", "2", "3", "4", "5", "6"}));
        QCOMPARE(chart.chart()->animationOptions(), QChart::NoAnimation);
    }

    void barsLabelledWithTheirValuesInBlack() {
        noten::DistributionChart chart;
        const QBarSeries* series = seriesOf(chart);
        QVERIFY(series->isLabelsVisible());
        QCOMPARE(series->barSets().first()->labelColor(), QColor(Qt::black));
        QCOMPARE(series->labelsFormat(), QStringLiteral("@value"));
    }

    void columnThenDataWritesOnePoint() {
        noten::DistributionChart chart;
        chart.setColumn(3);
        QCOMPARE(chart.column(), 3);
        chart.setData(QStringLiteral("5"));
        chart.setData(std::string("7"));  // the same column again
        chart.setChartPoint(6, "12");
        chart.setChartPoint(1, "007");
        QCOMPARE(shown(chart), QList<int>({7, 0, 7, 0, 0, 12}));
        chart.setChartPoint(3, "0");
        chart.setChartPoint(2, "2147483647");
        QCOMPARE(shown(chart), QList<int>({7, 2147483647, 0, 0, 0, 12}));
    }

    // The value axis follows the largest count, with whole-number steps and room above it.
    void valueAxisFollowsLargestCount_data() {
        QTest::addColumn<QString>("largest");
        for (const char* count : {"0", "1", "3", "4", "5", "9", "17", "250", "999", "1000",
                                  "123456789", "2147483647"}) {
            QTest::newRow(count) << QString::fromLatin1(count);
        }
    }
    void valueAxisFollowsLargestCount() {
        QFETCH(QString, largest);
        noten::DistributionChart chart;
        chart.setChartPoint(1, "1");
        chart.setChartPoint(4, largest.toStdString());
        const double count = largest.toDouble();
        const QValueAxis* axis = valueAxisOf(chart);
        QVERIFY(axis != nullptr);
        QCOMPARE(axis->min(), 0.0);
        QVERIFY2(axis->max() > std::max(count, 1.0), qPrintable(QString::number(axis->max())));
        QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
        const double step = axis->tickInterval();
        QVERIFY(step >= 1.0);
        QCOMPARE(std::floor(step), step);
        QCOMPARE(std::fmod(axis->max(), step), 0.0);
        // Enough ticks to read, not so many that they run together.
        QVERIFY2(axis->max() / step <= 6.0, qPrintable(QString::number(axis->max() / step)));
        QVERIFY(axis->max() / step >= 1.0);
        QCOMPARE(axis->labelFormat(), QStringLiteral("%d"));
    }

    void axisShrinksWhenCountsFall() {
        noten::DistributionChart chart;
        chart.setChartPoint(2, "900");
        chart.setChartPoint(2, "2");
        QVERIFY(valueAxisOf(chart)->max() < 10.0);
    }

    void columnOutsideOneToSixRefused_data() {
        QTest::addColumn<int>("column");
        QTest::newRow("0") << 0;
        QTest::newRow("7") << 7;
        QTest::newRow("-1") << -1;
        QTest::newRow("32767") << 32767;
    }
    void columnOutsideOneToSixRefused() {
        QFETCH(int, column);
        noten::DistributionChart chart;
        chart.setColumn(4);
        QCOMPARE(chartErrorOf([&] { chart.setColumn(column); }),
                 QStringLiteral("Diagrammspalte %1 gibt es nicht").arg(column));
        QCOMPARE(chart.column(), 4);
        QCOMPARE(chartErrorOf([&] { chart.setChartPoint(column, "3"); }),
                 QStringLiteral("Diagrammspalte %1 gibt es nicht").arg(column));
        QCOMPARE(shown(chart), QList<int>({0, 0, 0, 0, 0, 0}));
        QCOMPARE(chartErrorOf([&] { chart.value(column); }),
                 QStringLiteral("Diagrammspalte %1 gibt es nicht").arg(column));
    }

    void textThatIsNoCountRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("letters") << QStringLiteral("abc");
        QTest::newRow("negative") << QStringLiteral("-1");
        QTest::newRow("plus sign") << QStringLiteral("+1");
        QTest::newRow("leading blank") << QStringLiteral(" 1");
        QTest::newRow("trailing blank") << QStringLiteral("1 ");
        QTest::newRow("decimal comma") << QStringLiteral("1,5");
        QTest::newRow("decimal point") << QStringLiteral("2.0");
        QTest::newRow("exponent") << QStringLiteral("1e3");
        QTest::newRow("hex") << QStringLiteral("0x10");
        QTest::newRow("beyond int") << QStringLiteral("2147483648");
        QTest::newRow("far beyond int") << QStringLiteral("99999999999999999999999");
        QTest::newRow("other digits") << QStringLiteral("٣");
        QTest::newRow("embedded zero") << QString::fromLatin1(
            "1\0"
            "2",
            3);
    }
    void textThatIsNoCountRefused() {
        QFETCH(QString, text);
        noten::DistributionChart chart;
        chart.setChartPoint(5, "4");
        QCOMPARE(chartErrorOf([&] { chart.setData(text); }),
                 QStringLiteral("'%1' ist keine gültige Anzahl für das Diagramm").arg(text));
        QCOMPARE(shown(chart), QList<int>({0, 0, 0, 0, 4, 0}));
    }

    void tooltipOfTheWholeChart() {
        noten::DistributionChart chart;
        chart.setToolTip(QStringLiteral("Notenverteilung"));
        chart.resize(293, 212);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        const QPoint inside(150, 100);
        QHelpEvent help(QEvent::ToolTip, inside, chart.viewport()->mapToGlobal(inside));
        QCoreApplication::sendEvent(chart.viewport(), &help);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("Notenverteilung"));
    }
};

QTEST_MAIN(DistributionChartTest)
#include "distribution_chart_test.moc"
