// The main window on its real widgets: layout and look, tooltips, keyboard, the result
// display, "Clear", and an error inside a handler.
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolTip>
#include <QtTest>
#include <memory>

#include "app/application_title.h"
#include "app/german_translations.h"
#include "chart/distribution_chart.h"
#include "commands/result_display.h"
#include "core/errors.h"
#include "modal_helpers.h"
#include "stats/grade_statistics.h"
#include "ui/tform1.h"

namespace {

const QColor kAqua(0, 255, 255);
const QColor kYellow(255, 255, 0);

template <typename T = QWidget>
T* control(const QWidget& form, const char* name) {
    T* widget = form.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("control %s missing", name);
    }
    return widget;
}

noten::DistributionChart* chartOf(const QWidget& form) {
    return control<noten::DistributionChart>(form, "VCF");
}

QList<int> bars(const QWidget& form) {
    const noten::DistributionChart* chart = chartOf(form);
    const QBarSet* set =
        qobject_cast<QBarSeries*>(chart->chart()->series().value(0))->barSets().value(0);
    QList<int> values;
    for (int column = 1; column <= 6; ++column) {
        if (set->at(column - 1) != chart->value(column)) {
            return {};
        }
        values.append(chart->value(column));
    }
    return values;
}

QStringList resultTexts(const QWidget& form) {
    return {control<QLabel>(form, "Label4")->text(), control<QLabel>(form, "Label5")->text(),
            control<QLabel>(form, "Label6")->text()};
}

// The window shown and active, as a user meets it.
struct ShownWindow {
    noten::GradeStatistics statistics;
    noten::TForm1 form{statistics};

    ShownWindow() {
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("main window did not become active");
        }
    }
};

// Types the answers one after another into the input dialogs as they come, confirming each.
void answerInputs(QStringList answers) {
    if (answers.isEmpty()) {
        return;
    }
    testing_gui::whenModal<QDialog>([answers](QDialog* dialog) mutable {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("inputTextEdit"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("okButton"));
        if (edit == nullptr || ok == nullptr) {
            dialog->reject();
            return;
        }
        edit->setText(answers.takeFirst());
        ok->click();
        answerInputs(answers);
    });
}

void hideTooltip() {
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { noten::installGermanTranslations(*QCoreApplication::instance()); }

    void window() {
        noten::GradeStatistics statistics;
        noten::TForm1 form(statistics);
        QCOMPARE(form.windowTitle(), QStringLiteral("Notenstatistik"));
        QCOMPARE(form.objectName(), QStringLiteral("Form1"));
        QCOMPARE(form.size(), QSize(400, 274));
        QCOMPARE(form.pos(), QPoint(210, 114));
        QCOMPARE(form.palette().color(QPalette::Window), kAqua);
        QVERIFY(form.autoFillBackground());
        QCOMPARE(form.font().pixelSize(), 11);
        QCOMPARE(form.font().styleHint(), QFont::SansSerif);
        QCOMPARE(form.layout(), nullptr);
        QVERIFY(!form.isVisible());
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");  // width -1: the size of the text
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QString>("accessibleName");
        // Captions size themselves to their text.
        QTest::newRow("Label1") << "Label1"
                                << "QLabel"
                                << "Mittelwert" << QRect(6, 11, -1, -1) << 16 << "Mittelwert";
        QTest::newRow("Label2") << "Label2"
                                << "QLabel"
                                << "Abweichung" << QRect(8, 73, -1, -1) << 13 << "Abweichung";
        QTest::newRow("Label3") << "Label3"
                                << "QLabel"
                                << "Anzahl" << QRect(8, 152, -1, -1) << 16 << "Anzahl";
        // The result fields, blank from the start.
        QTest::newRow("Label4") << "Label4"
                                << "QLabel"
                                << "" << QRect(8, 32, 73, 25) << 19 << "Mittelwert";
        QTest::newRow("Label5") << "Label5"
                                << "QLabel"
                                << "" << QRect(8, 96, 73, 25) << 19 << "Abweichung";
        QTest::newRow("Label6") << "Label6"
                                << "QLabel"
                                << "" << QRect(8, 176, 73, 25) << 19 << "Anzahl";
        QTest::newRow("Button1") << "Button1"
                                 << "QPushButton"
                                 << "Noten eingeben" << QRect(9, 239, 104, 25) << 11
                                 << "Noten eingeben";
        QTest::newRow("Button2") << "Button2"
                                 << "QPushButton"
                                 << "Quit" << QRect(313, 239, 75, 25) << 11 << "Quit";
        QTest::newRow("Button3") << "Button3"
                                 << "QPushButton"
                                 << "Datei auswerten" << QRect(123, 237, 94, 25) << 11
                                 << "Datei auswerten";
        QTest::newRow("Button4") << "Button4"
                                 << "QPushButton"
                                 << "Clear" << QRect(227, 237, 75, 25) << 11 << "Clear";
        QTest::newRow("VCF") << "VCF"
                             << "noten::DistributionChart"
                             << "" << QRect(92, 13, 293, 212) << 11 << "Notenverteilung";
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QFETCH(int, pixelSize);
        QFETCH(QString, accessibleName);
        noten::GradeStatistics statistics;
        noten::TForm1 form(statistics);
        auto* widget = control(form, name.toLatin1().constData());
        QCOMPARE(widget->parentWidget(), &form);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
        QCOMPARE(widget->pos(), geometry.topLeft());
        QCOMPARE(widget->font().pixelSize(), pixelSize);
        QCOMPARE(widget->accessibleName(), accessibleName);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), text);
            QCOMPARE(label->wordWrap(), false);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            if (geometry.width() < 0) {
                QCOMPARE(label->size(), label->sizeHint());
                QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
            } else {
                QCOMPARE(label->size(), geometry.size());
                QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
                QVERIFY(label->autoFillBackground());
                QCOMPARE(label->palette().color(QPalette::Window), kYellow);
            }
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), text);
            QCOMPARE(button->size(), geometry.size());
            QVERIFY(!button->isDefault());
        } else {
            QCOMPARE(widget->size(), geometry.size());
            QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
        }
    }

    void tooltips_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("Label4") << "Label4"
                                << "wird doch berechnet!";
        QTest::newRow("Label6") << "Label6"
                                << "zählt das Programm";
        QTest::newRow("Button1") << "Button1"
                                 << "Einzelnoten eingeben, Berechnung nach Eingabe von 0";
        QTest::newRow("Button2") << "Button2"
                                 << "Programm beenden";
        QTest::newRow("VCF") << "VCF"
                             << "Notenverteilung";
        for (const char* name : {"Label1", "Label2", "Label3", "Label5", "Button3", "Button4"}) {
            QTest::newRow(name) << name << "";
        }
    }
    void tooltips() {
        QFETCH(QString, name);
        QFETCH(QString, tooltip);
        ShownWindow shown;
        QWidget* widget = control(shown.form, name.toLatin1().constData());
        QCOMPARE(widget->toolTip(), tooltip);
        if (!tooltip.isEmpty()) {
            QCOMPARE(widget->toolTipDuration(), 2500);
        }
        // What the pointer resting there brings up: the chart draws in its viewport.
        hideTooltip();
        auto* chart = qobject_cast<noten::DistributionChart*>(widget);
        QWidget* target = chart != nullptr ? chart->viewport() : widget;
        const QPoint inside = target->rect().center();
        QHelpEvent help(QEvent::ToolTip, inside, target->mapToGlobal(inside));
        QCoreApplication::sendEvent(target, &help);
        QCOMPARE(QToolTip::isVisible(), !tooltip.isEmpty());
        if (!tooltip.isEmpty()) {
            QCOMPARE(QToolTip::text(), tooltip);
        }
        hideTooltip();
    }

    void tooltipWakeUpDelays() {
        ShownWindow shown;
        hideTooltip();
        QList<QWidget*> targets;
        for (const char* name : {"Label4", "Label6", "Button1", "Button2"}) {
            targets.append(control(shown.form, name));
        }
        targets.append(chartOf(shown.form)->viewport());
        for (QWidget* target : targets) {
            QCOMPARE(target->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, target),
                     500);
        }
        QWidget* button1 = control(shown.form, "Button1");
        QToolTip::showText(button1->mapToGlobal(QPoint(5, 5)), QStringLiteral("x"), button1);
        QVERIFY(QToolTip::isVisible());
        for (QWidget* target : targets) {
            QCOMPARE(target->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, target),
                     50);
        }
        hideTooltip();
    }

    // The pointer coming to rest brings the tooltip up, and it goes again by itself.
    void tooltipOnRestThenHidden() {
        ShownWindow shown;
        hideTooltip();
        QWidget* label4 = control(shown.form, "Label4");
        QTest::mouseMove(shown.form.windowHandle(), label4->geometry().center());
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 3000);
        QCOMPARE(QToolTip::text(), QStringLiteral("wird doch berechnet!"));
        QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 6000);

        QWidget* label5 = control(shown.form, "Label5");
        QTest::mouseMove(shown.form.windowHandle(), label5->geometry().center());
        QTest::qWait(1000);
        QVERIFY(!QToolTip::isVisible());
    }

    void focusAndTabOrder() {
        ShownWindow shown;
        QCOMPARE(QApplication::focusWidget(), control(shown.form, "Button1"));
        for (const char* next : {"Button2", "Button3", "Button4", "Button1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Button4"));
    }

    void keysClickTheFocusedButton_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("clicks");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
        QTest::newRow("Shift+Return") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << 0;
        QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
        QTest::newRow("Alt+Return") << int(Qt::Key_Return) << int(Qt::AltModifier) << 0;
        QTest::newRow("Shift+keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::ShiftModifier | Qt::KeypadModifier) << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 0;
    }
    void keysClickTheFocusedButton() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, clicks);
        ShownWindow shown;
        auto* clear = control<QPushButton>(shown.form, "Button4");
        clear->setFocus(Qt::TabFocusReason);
        QSignalSpy spy(clear, &QPushButton::clicked);
        QTest::keyClick(clear, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(spy.size(), clicks);
        QVERIFY(shown.form.isVisible());
    }

    void enterOnQuitClosesTheWindow() {
        ShownWindow shown;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* quit = control(shown.form, "Button2");
        QCOMPARE(QApplication::focusWidget(), quit);
        QTest::keyClick(quit, Qt::Key_Return);
        QVERIFY(!shown.form.isVisible());
    }

    void resizingMovesNothing() {
        ShownWindow shown;
        QList<QRect> before;
        const QList<QWidget*> widgets =
            shown.form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(widgets.size(), 11);
        for (QWidget* widget : widgets) {
            before.append(widget->geometry());
        }
        for (const QSize& size : {QSize(150, 100), QSize(900, 700)}) {
            shown.form.resize(size);
            QTRY_COMPARE(shown.form.size(), size);
            for (qsizetype i = 0; i < widgets.size(); ++i) {
                QCOMPARE(widgets[i]->geometry(), before[i]);
            }
        }
        // The larger window shows more of its background.
        QCOMPARE(shown.form.grab().toImage().pixelColor(850, 650), kAqua);
    }

    void drawnColours() {
        ShownWindow shown;
        const QImage image = shown.form.grab().toImage();
        for (const QPoint& point : {QPoint(2, 2), QPoint(395, 100), QPoint(200, 230),
                                    QPoint(50, 140), QPoint(395, 270)}) {
            QCOMPARE(image.pixelColor(point), kAqua);
        }
        // Empty yellow boxes.
        for (const char* name : {"Label4", "Label5", "Label6"}) {
            const QRect box = control(shown.form, name)->geometry();
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    QCOMPARE(image.pixelColor(x, y), kYellow);
                }
            }
        }
        // A caption in black on aqua.
        const QRect caption = control(shown.form, "Label1")->geometry();
        bool black = false;
        for (int y = caption.top(); y <= caption.bottom() && !black; ++y) {
            for (int x = caption.left(); x <= caption.right() && !black; ++x) {
                black = image.pixelColor(x, y) == QColor(Qt::black);
            }
        }
        QVERIFY(black);
    }

    void resultTextCentredAtTheTop() {
        ShownWindow shown;
        shown.form.showMean("8");
        const QRect box = control(shown.form, "Label4")->geometry();
        const QImage image = shown.form.grab(box).toImage();
        int left = image.width();
        int right = -1;
        int top = image.height();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != kYellow) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                }
            }
        }
        QVERIFY(right >= 0);
        QVERIFY2(std::abs((left + right) / 2 - box.width() / 2) <= 2,
                 qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
        QVERIFY2(top <= 6, qPrintable(QString::number(top)));
    }

    void showResultsWritesFieldsAndBars() {
        ShownWindow shown;
        noten::GradeStatistics& statistics = shown.statistics;
        statistics.gradeCount = 6;
        statistics.gradeMean = 3.5f;
        statistics.gradeTally = {0, 1, 2, 0, 1, 1, 1};
        noten::showResults(statistics, 1.7078251f, shown.form, ',');
        QCOMPARE(resultTexts(shown.form), QStringList({"3,5", "1,7", "6"}));
        QCOMPARE(bars(shown.form), QList<int>({1, 2, 0, 1, 1, 1}));

        statistics.gradeCount = -3;
        statistics.gradeTally = {};
        noten::showResults(statistics, -0.0f, shown.form, '.');
        QCOMPARE(resultTexts(shown.form), QStringList({"3.5", "0", "-3"}));
        QCOMPARE(bars(shown.form), QList<int>({0, 0, 0, 0, 0, 0}));
    }

    void clearRightAfterStartAndTwice() {
        ShownWindow shown;
        auto* clear = control<QPushButton>(shown.form, "Button4");
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(resultTexts(shown.form), QStringList({"", "", ""}));
        QCOMPARE(bars(shown.form), QList<int>({0, 0, 0, 0, 0, 0}));

        shown.statistics.gradeCount = 3;
        shown.statistics.gradeMean = 2.0f;
        shown.statistics.gradeTally = {0, 1, 1, 1, 0, 0, 0};
        noten::showResults(shown.statistics, 0.8164966f, shown.form, ',');
        for (int round = 0; round < 2; ++round) {
            QTest::mouseClick(clear, Qt::LeftButton);
            QCOMPARE(resultTexts(shown.form), QStringList({"", "", ""}));
            QCOMPARE(bars(shown.form), QList<int>({0, 0, 0, 0, 0, 0}));
        }
        // "Clear" leaves the record alone.
        QCOMPARE(shown.statistics.gradeCount, 3);
        QCOMPARE(shown.statistics.gradeMean, 2.0f);
    }

    void failingChartWriteKeepsWhatWasWritten() {
        ShownWindow shown;
        for (int column = 1; column <= 6; ++column) {
            shown.form.setChartPoint(column, "9");
        }
        shown.statistics.gradeCount = 4;
        shown.statistics.gradeMean = 2.25f;
        shown.statistics.gradeTally = {0, 1, 2, -1, 1, 0, 0};
        QString message;
        try {
            noten::showResults(shown.statistics, 0.5f, shown.form, ',');
        } catch (const noten::EChartError& error) {
            message = QString::fromStdString(error.message());
        }
        QCOMPARE(message, QStringLiteral("'-1' ist keine gültige Anzahl für das Diagramm"));
        QCOMPARE(resultTexts(shown.form), QStringList({"2,2", "0,5", "4"}));
        QCOMPARE(bars(shown.form), QList<int>({1, 2, 9, 9, 9, 9}));
    }

    // A grade too large to count ends "Noten eingeben" with an error; the box shows it and
    // the window goes on working.
    void errorInHandlerLeavesWindowWorking() {
        ShownWindow shown;
        shown.form.showMean("1");
        answerInputs({QStringLiteral("1e30")});
        testing_gui::SeenBox seen;
        testing_gui::confirmNextBox(seen);
        QTest::mouseClick(control(shown.form, "Button1"), Qt::LeftButton);
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, noten::applicationTitle());
        QCOMPARE(seen.text, QStringLiteral("Fehler bei Fließkommaoperation."));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        // What was shown stays; what the command stored before the error stays.
        QCOMPARE(resultTexts(shown.form), QStringList({"1", "", ""}));
        QCOMPARE(shown.statistics.gradeCount, 1);

        // Clicks through the window system reach the window again.
        QTest::mouseClick(shown.form.windowHandle(), Qt::LeftButton, {},
                          control(shown.form, "Button4")->geometry().center());
        QCOMPARE(resultTexts(shown.form), QStringList({"", "", ""}));
        answerInputs({QStringLiteral("2"), QStringLiteral("0")});
        QTest::mouseClick(shown.form.windowHandle(), Qt::LeftButton, {},
                          control(shown.form, "Button1")->geometry().center());
        QCOMPARE(resultTexts(shown.form), QStringList({"2", "0", "1"}));
        QCOMPARE(bars(shown.form), QList<int>({0, 1, 0, 0, 0, 0}));
    }

    // A locale change announced while the program runs changes the separator of typed and
    // shown numbers from then on.
    void localeChangeRereadsTheDecimalSeparator() {
        ShownWindow shown;
        QCOMPARE(shown.form.decimalSeparator(), ',');
        const QByteArray saved = qgetenv("LC_ALL");
        qputenv("LC_ALL", "en_US.UTF-8");
        QEvent change(QEvent::LocaleChange);
        QCoreApplication::sendEvent(&shown.form, &change);
        qputenv("LC_ALL", saved);
        QCOMPARE(shown.form.decimalSeparator(), '.');
        answerInputs({QStringLiteral("2.5"), QStringLiteral("3"), QStringLiteral("0")});
        QTest::mouseClick(control(shown.form, "Button1"), Qt::LeftButton);
        QCOMPARE(resultTexts(shown.form), QStringList({"2.7", "0.2", "2"}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
