// The smallest window of this toolkit that shows what the program shows: one top-level widget
// with one chart view holding a six-bar series. Its start-up is the floor to compare with.
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare chart window");
    window.resize(400, 274);
    auto* set = new QBarSet("R1");
    *set << 0 << 0 << 0 << 0 << 0 << 0;
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->createDefaultAxes();
    auto* view = new QChartView(chart, &window);
    view->setGeometry(92, 13, 293, 212);
    window.show();
    return application.exec();
}
