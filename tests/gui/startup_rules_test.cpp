// The rules that act before the window exists: the application title, the registration
// switches that end the program at once, and the program icon.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QProcess>
#include <QtTest>
#include <string>

#include "app/application_title.h"
#include "app/registration_switch.h"

class StartupRulesTest : public QObject {
    Q_OBJECT

private slots:
    void titleFromFileName_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("title");
        QTest::newRow("cut before the first period") << "ABC.DEF.EXE"
                                                     << "Abc";
        QTest::newRow("two periods, upper case") << "ABC.DEF"
                                                 << "Abc";
        QTest::newRow("first character keeps its case") << "notenstatistik"
                                                        << "notenstatistik";
        QTest::newRow("rest lower-cased") << "NotenSTATISTIK"
                                          << "Notenstatistik";
        QTest::newRow("all upper") << "NOTEN"
                                   << "Noten";
        QTest::newRow("umlauts lower-cased") << "ÜBERSICHT.EXE"
                                             << "Übersicht";
        QTest::newRow("single character") << "X.EXE"
                                          << "X";
        QTest::newRow("leading period gives no title") << ".hidden"
                                                       << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("digits and signs unchanged") << "P2-Q_R.x"
                                                    << "P2-q_r";
        QTest::newRow("character outside the basic plane kept whole") << QString::fromUtf8(
                                                                             "\xF0\x9D\x90\x80"
                                                                             "ABC")
                                                                      << QString::fromUtf8(
                                                                             "\xF0\x9D\x90\x80"
                                                                             "abc");
    }
    void titleFromFileName() {
        QFETCH(QString, fileName);
        QFETCH(QString, title);
        QCOMPARE(noten::applicationTitleFor(fileName), title);
    }

    void titleOfThisProgram() {
        // The test executable's own name is all lower case without a period.
        QCOMPARE(noten::applicationTitle(), QStringLiteral("startup_rules_test"));
    }

    void registrationSwitch_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("ends");
        QTest::newRow("/regserver") << "/regserver" << true;
        QTest::newRow("-UNREGSERVER") << "-UNREGSERVER" << true;
        QTest::newRow("/RegServer") << "/RegServer" << true;
        QTest::newRow("-unRegServer") << "-unRegServer" << true;
        QTest::newRow("--regserver") << "--regserver" << false;
        QTest::newRow("/regserverx") << "/regserverx" << false;
        QTest::newRow("regserver without sign") << "regserver" << false;
        QTest::newRow("/un") << "/un" << false;
        QTest::newRow("sign only") << "/" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank after") << "/regserver " << false;
        QTest::newRow("+regserver") << "+regserver" << false;
        QTest::newRow("\\regserver") << "\\regserver" << false;
    }
    void registrationSwitch() {
        QFETCH(QString, argument);
        QFETCH(bool, ends);
        QCOMPARE(noten::isRegistrationSwitch(argument.toStdString()), ends);
    }

    void registrationSwitchAnywhereButTheProgramName() {
        const char* const programNamedLikeSwitch[] = {"/regserver", "file.txt"};
        QVERIFY(!noten::hasRegistrationSwitch(2, programNamedLikeSwitch));
        const char* const third[] = {"notenstatistik", "a", "-UnRegServer"};
        QVERIFY(noten::hasRegistrationSwitch(3, third));
        const char* const none[] = {"notenstatistik", "--regserver", "/regserverx"};
        QVERIFY(!noten::hasRegistrationSwitch(3, none));
        QVERIFY(!noten::hasRegistrationSwitch(0, nullptr));
    }

    // The program ends with 0 before it builds any window: with no display at all it
    // still succeeds and says nothing.
    void programEndsAtOnceOnRegistrationSwitch_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("/regserver") << QStringList{QStringLiteral("/regserver")};
        QTest::newRow("-UNREGSERVER after others")
            << QStringList{QStringLiteral("x"), QStringLiteral("-UNREGSERVER")};
    }
    void programEndsAtOnceOnRegistrationSwitch() {
        QFETCH(QStringList, arguments);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A platform that cannot start: any attempt to open a window would fail loudly.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":999"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(NOTEN_APP_PATH), arguments);
        QVERIFY(program.waitForStarted());
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(program.readAllStandardError(), QByteArray());
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
    }

    void iconIsDrawn() {
        const QIcon icon(QStringLiteral(NOTEN_ICON_FILE));
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(32, 32).toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        // Not a blank square: the drawing has several colours.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                colours.insert(image.pixel(x, y));
            }
        }
        QVERIFY2(colours.size() >= 4, qPrintable(QString::number(colours.size())));
    }
};

QTEST_MAIN(StartupRulesTest)
#include "startup_rules_test.moc"
