// "Datei auswerten" through the real main window, the real input dialog and the real error
// box, on grade files in a temporary folder.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
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

const QString kCaption = QStringLiteral("Notenstatistik aus Datei");
const QString kPrompt = QStringLiteral("Dateiname (ohne Extension): ");

// True while this process holds `path` open (Linux: /proc/self/fd).
bool heldOpen(const QString& path) {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString& entry : descriptors.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(descriptors.filePath(entry)) == wanted) {
            return true;
        }
    }
    return false;
}

}  // namespace

class GradeFileGuiTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::unique_ptr<noten::GradeStatistics> statistics_;
    std::unique_ptr<noten::TForm1> form_;

    // Writes `content` to <folder>/<name>.txt and returns the name to type: the path without
    // ".txt".
    QString gradeFile(const QString& name, const QByteArray& content) {
        const QString base = folder_.filePath(name);
        QFile file(base + QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            qFatal("cannot write the test file %s", qPrintable(file.fileName()));
        }
        return base;
    }

    void clickEvaluate() {
        auto* button = form_->findChild<QPushButton*>(QStringLiteral("Button3"));
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void verifyResults(const QString& mean, const QString& deviation, const QString& count,
                       const QString& expectedBars) {
        testing_gui::verifyResults(*form_, mean, deviation, count, expectedBars);
    }

    static void verifyScript(const ModalScript& script) {
        testing_gui::verifyScript(script, kCaption, kPrompt);
    }

    void evaluateClassFile() {
        ModalScript script;
        script.type(gradeFile("klasse", "3\n2.5 1 4\n"));
        clickEvaluate();
        verifyScript(script);
        QCOMPARE(script.seen().size(), std::size_t{1});
        verifyResults("2,5", "1,2", "3", "1 0 1 1 0 0");
    }

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
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

    void evaluatesTheNamedFile() { evaluateClassFile(); }

    void missingFileAsksAgainWithoutMessage() {
        ModalScript script;
        script.type(folder_.filePath("fehlt"))
            .type(folder_.path())
            .type(gradeFile("klasse", "3\n2.5 1 4\n"));
        clickEvaluate();
        verifyScript(script);  // three empty dialogs, no box
        QCOMPARE(script.seen().size(), std::size_t{3});
        verifyResults("2,5", "1,2", "3", "1 0 1 1 0 0");
    }

    void emptyOrCancelledNameChangesNothing_data() {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("Esc") << true;
        QTest::newRow("empty name") << false;
    }

    void emptyOrCancelledNameChangesNothing() {
        QFETCH(bool, cancelled);
        evaluateClassFile();
        ModalScript script;
        if (cancelled) {
            script.cancel();
        } else {
            script.type(QString());
        }
        clickEvaluate();
        verifyScript(script);
        verifyResults("2,5", "1,2", "3", "1 0 1 1 0 0");
    }

    void damagedFileIsRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");  // after the quoted file name
        QTest::newRow("fewer grades than announced")
            << QByteArray("4\n2 3\n") << " enthält nur 2 von 4 Noten.";
        QTest::newRow("comma in a grade")
            << QByteArray("3\n2 1 2,5\n") << ": Note 3 ('2,5') ist keine gültige Zahl.";
        QTest::newRow("count not a whole number")
            << QByteArray("2.5\n1 2\n") << " enthält keine gültige Notenanzahl.";
        QTest::newRow("empty file") << QByteArray() << " enthält keine gültige Notenanzahl.";
        QTest::newRow("more than the store holds")
            << QByteArray("1001\n1\n") << " enthält mehr als 1000 Noten.";
    }

    void damagedFileIsRefused() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        evaluateClassFile();
        const QString name = gradeFile("kaputt", content);
        {
            ModalScript script;
            script.type(name).confirmError();
            clickEvaluate();
            verifyScript(script);
            QCOMPARE(script.seen().size(), std::size_t{2});
            const ModalScript::Seen& box = script.seen()[1];
            QCOMPARE(box.kind, ModalScript::Kind::ErrorBox);
            QCOMPARE(box.title, noten::applicationTitle());
            QCOMPARE(box.icon, QMessageBox::Critical);
            QCOMPARE(box.text, QStringLiteral("'%1.txt'").arg(name) + problem);
            // The earlier results stay on show.
            verifyResults("2,5", "1,2", "3", "1 0 1 1 0 0");
        }

        // The file was closed, and the window evaluates again.
        QVERIFY(!heldOpen(name + QStringLiteral(".txt")));
        ModalScript again;
        again.type(gradeFile("kaputt", "2\n6 6\n"));
        clickEvaluate();
        verifyScript(again);
        verifyResults("6", "0", "2", "0 0 0 0 0 2");
    }
};

// Shown numbers follow the German locale whatever the environment says.
int main(int argc, char* argv[]) {
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication application(argc, argv);
    GradeFileGuiTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "grade_file_gui_test.moc"
