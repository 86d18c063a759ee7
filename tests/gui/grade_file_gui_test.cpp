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

    QString label(const char* name) const {
        auto* field = form_->findChild<QLabel*>(QLatin1String(name));
        return field ? field->text() : QStringLiteral("<kein %1>").arg(name);
    }

    // The six bars as "c1 c2 c3 c4 c5 c6".
    QString bars() const {
        auto* chart = form_->findChild<noten::DistributionChart*>(QStringLiteral("VCF"));
        if (chart == nullptr) {
            return QStringLiteral("<kein VCF>");
        }
        QStringList values;
        for (int column = 1; column <= 6; ++column) {
            values << QString::number(chart->value(column));
        }
        return values.join(QLatin1Char(' '));
    }

    void clickEvaluate() {
        auto* button = form_->findChild<QPushButton*>(QStringLiteral("Button3"));
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Every step used, every window expected, and every dialog the file dialog, empty.
    static void verifyScript(const ModalScript& script) {
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join("; ")));
        QCOMPARE(script.stepsLeft(), std::size_t{0});
        for (const ModalScript::Seen& seen : script.seen()) {
            if (seen.kind == ModalScript::Kind::InputDialog) {
                QCOMPARE(seen.title, kCaption);
                QCOMPARE(seen.text, kPrompt);
                QCOMPARE(seen.editText, QString());
            }
        }
    }

    void verifyResults(const QString& mean, const QString& deviation, const QString& count,
                       const QString& expectedBars) {
        QCOMPARE(label("Label4"), mean);
        QCOMPARE(label("Label5"), deviation);
        QCOMPARE(label("Label6"), count);
        QCOMPARE(bars(), expectedBars);
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
