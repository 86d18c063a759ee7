// "Noten eingeben" through the real main window, the real input dialog and the real error
// box, answered by a scripted user.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/application_title.h"
#include "app/german_translations.h"
#include "chart/distribution_chart.h"
#include "core/floating_point.h"
#include "modal_script.h"
#include "stats/grade_statistics.h"
#include "ui/tform1.h"
#include "window_readout.h"

namespace {

const QString kCaption = QStringLiteral("Einzelnote");
const QString kPrompt = QStringLiteral("Einzelnote eingeben (Berechnung bei 0) : ");

}  // namespace

class GradeEntryGuiTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<noten::GradeStatistics> statistics_;
    std::unique_ptr<noten::TForm1> form_;

    void click(const char* button) {
        auto* target = form_->findChild<QPushButton*>(QLatin1String(button));
        QVERIFY(target != nullptr);
        QTest::mouseClick(target, Qt::LeftButton);
    }

    void verifyResults(const QString& mean, const QString& deviation, const QString& count,
                       const QString& expectedBars) {
        testing_gui::verifyResults(*form_, mean, deviation, count, expectedBars);
    }

    static void verifyScript(const ModalScript& script) {
        testing_gui::verifyScript(script, kCaption, kPrompt);
    }

    static void verifyConvertErrorBox(const ModalScript::Seen& seen, const QString& typed) {
        QCOMPARE(seen.kind, ModalScript::Kind::ErrorBox);
        QCOMPARE(seen.title, noten::applicationTitle());
        QCOMPARE(seen.text, QStringLiteral("'%1' ist kein gültiger Fließkommawert.").arg(typed));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttonCount, 1);
    }

private slots:
    void initTestCase() {
        noten::setupFloatingPointEnvironment();
        QVERIFY(noten::installGermanTranslations(*qApp));
    }

    // A fresh program for every test: zero statistics, blank fields.
    void init() {
        statistics_ = std::make_unique<noten::GradeStatistics>();
        form_ = std::make_unique<noten::TForm1>(*statistics_);
        form_->show();
        form_->activateWindow();  // no window manager does it here
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QCOMPARE(form_->decimalSeparator(), ',');
    }

    void cleanup() {
        form_.reset();
        statistics_.reset();
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void enterRightAfterStartAsksUntilZero() {
        ModalScript script;
        script.type("2").type("3").type("0");
        // Focus is on "Noten eingeben" at start; Enter goes through the window system.
        QTest::keyClick(form_->windowHandle(), Qt::Key_Return);
        verifyScript(script);
        QCOMPARE(script.seen().size(), std::size_t{3});
        verifyResults("2,5", "0,5", "2", "0 1 1 0 0 0");
    }

    void endingEntriesAndCommaNumbers_data() {
        QTest::addColumn<QStringList>("entries");  // "<Esc>" cancels the dialog
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("deviation");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("expectedBars");

        QTest::newRow("Esc ends") << QStringList{"4", "<Esc>"} << "4"
                                  << "0"
                                  << "1"
                                  << "0 0 0 1 0 0";
        QTest::newRow("empty entry ends") << QStringList{"1", "5", ""} << "3"
                                          << "2"
                                          << "2"
                                          << "1 0 0 0 1 0";
        QTest::newRow("negative entry ends outside the sum") << QStringList{"2", "3", "-1"} << "2,5"
                                                             << "0,5"
                                                             << "2"
                                                             << "0 1 1 0 0 0";
        QTest::newRow("comma decimals, blanks around") << QStringList{"2,5", " 3 ", ","} << "2,7"
                                                       << "0,2"
                                                       << "2"
                                                       << "0 0 2 0 0 0";
    }

    void endingEntriesAndCommaNumbers() {
        QFETCH(QStringList, entries);
        QFETCH(QString, mean);
        QFETCH(QString, deviation);
        QFETCH(QString, count);
        QFETCH(QString, expectedBars);
        ModalScript script;
        for (const QString& entry : entries) {
            if (entry == "<Esc>") {
                script.cancel();
            } else {
                script.type(entry);
            }
        }
        click("Button1");
        verifyScript(script);
        verifyResults(mean, deviation, count, expectedBars);
    }

    void cancelledFirstEntryKeepsTheDisplay() {
        {
            ModalScript script;
            script.type("1").type("2").type("0");
            click("Button1");
            verifyScript(script);
        }
        ModalScript script;
        script.cancel();
        click("Button1");
        verifyScript(script);
        verifyResults("1,5", "0,5", "2", "1 1 0 0 0 0");
    }

    void typingMistakeIsReportedAndTheEntryGoesOn_data() {
        QTest::addColumn<QString>("mistake");
        QTest::newRow("letters") << "abc";
        QTest::newRow("point under a German locale") << "2.5";
        QTest::newRow("blanks only") << "   ";
    }

    void typingMistakeIsReportedAndTheEntryGoesOn() {
        QFETCH(QString, mistake);
        ModalScript script;
        script.type("2").type(mistake).confirmError().type("3").type("0");
        click("Button1");
        verifyScript(script);
        QCOMPARE(script.seen().size(), std::size_t{5});
        verifyConvertErrorBox(script.seen()[2], mistake);
        // The grade before the mistake stays; the dialog after the box asked again.
        verifyResults("2,5", "0,5", "2", "0 1 1 0 0 0");
    }

    void windowWorksAfterAnError() {
        {
            ModalScript script;
            script.type("abc").confirmError().cancel();
            click("Button1");
            verifyScript(script);
            verifyConvertErrorBox(script.seen()[1], "abc");
            verifyResults("", "", "", "0 0 0 0 0 0");
        }
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        {
            ModalScript script;
            script.type("1").type("6").cancel();
            QTest::keyClick(form_->windowHandle(), Qt::Key_Return);  // focus is back
            verifyScript(script);
            verifyResults("3,5", "2,5", "2", "1 0 0 0 0 1");
        }
        click("Button4");
        verifyResults("", "", "", "0 0 0 0 0 0");
    }

    void overflowingEntryIsReported() {
        ModalScript script;
        script.type("1").type("1E39").confirmError().type("0");
        click("Button1");
        verifyScript(script);
        QCOMPARE(script.seen()[2].text, QStringLiteral("Überlauf bei Fließkommaoperation."));
        verifyResults("1", "0", "1", "1 0 0 0 0 0");
    }
};

// Typed numbers follow the German locale whatever the environment says.
int main(int argc, char* argv[]) {
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication application(argc, argv);
    GradeEntryGuiTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "grade_entry_gui_test.moc"
