// "Quit", Enter on "Quit" and the close box all end the event loop with exit code 0.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>

#include "stats/grade_statistics.h"
#include "ui/tform1.h"

class QuitTest : public QObject {
    Q_OBJECT

private slots:
    void endsEventLoopWithZero_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Quit clicked") << 0;
        QTest::newRow("Enter on Quit") << 1;
        QTest::newRow("close box") << 2;
    }
    void endsEventLoopWithZero() {
        QFETCH(int, way);
        noten::GradeStatistics statistics;
        noten::TForm1 form(statistics);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* quit = form.findChild<QPushButton*>(QStringLiteral("Button2"));
        QVERIFY(quit != nullptr);

        QTimer::singleShot(0, &form, [&] {
            switch (way) {
                case 0:
                    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
                                      quit->geometry().center());
                    break;
                case 1:
                    quit->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(quit, Qt::Key_Return);
                    break;
                default:
                    // What the window system's close request does.
                    form.windowHandle()->close();
                    break;
            }
        });
        // A loop that does not end fails the test instead of hanging it.
        QTimer::singleShot(10000, &form, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(QuitTest)
#include "quit_test.moc"
