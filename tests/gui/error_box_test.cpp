// The error box and the error path that every handler runs in.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "app/application_title.h"
#include "app/error_box.h"
#include "app/error_box_reporter.h"
#include "core/errors.h"
#include "modal_helpers.h"

using testing_gui::confirmNextBox;
using testing_gui::SeenBox;

class ErrorBoxTest : public QObject {
    Q_OBJECT

private slots:
    void boxShowsMessageWithPeriod_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("text");
        QTest::newRow("conversion error")
            << QStringLiteral("'abc' ist kein gültiger Fließkommawert")
            << QStringLiteral("'abc' ist kein gültiger Fließkommawert.");
        QTest::newRow("empty message") << QString() << QStringLiteral(".");
        QTest::newRow("period appended to a period")
            << QStringLiteral("Ende.") << QStringLiteral("Ende..");
        QTest::newRow("markup stays text") << QStringLiteral("'<b>1</b>' ist kein Wert")
                                           << QStringLiteral("'<b>1</b>' ist kein Wert.");
    }
    void boxShowsMessageWithPeriod() {
        QFETCH(QString, message);
        QFETCH(QString, text);
        SeenBox seen;
        confirmNextBox(seen);
        noten::showErrorBox(noten::Exception(message.toStdString()));
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.textFormat, Qt::PlainText);
        QCOMPARE(seen.title, noten::applicationTitle());
        QCOMPARE(seen.title, QStringLiteral("error_box_test"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttonCount, 1);
        QVERIFY(seen.okButton);
        QCOMPARE(seen.modality, Qt::ApplicationModal);
    }

    void otherWindowsBlockedThenActiveAgain() {
        QWidget window;
        auto* button = new QPushButton(QStringLiteral("Knopf"), &window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        bool blockedMeanwhile = false;
        testing_gui::whenModal<QMessageBox>([&](QMessageBox* box) {
            QSignalSpy clicks(button, &QPushButton::clicked);
            // Through the window system, as a user's click comes.
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                              button->geometry().center());
            blockedMeanwhile = clicks.isEmpty() && QApplication::activeModalWidget() == box;
            box->button(QMessageBox::Ok)->click();
        });
        noten::showErrorBox(QStringLiteral("Fehler"));
        QVERIFY(blockedMeanwhile);
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QSignalSpy clicks(button, &QPushButton::clicked);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        QCOMPARE(clicks.size(), 1);
    }

    void handlerErrorIsShownAndGoesNoFurther() {
        SeenBox seen;
        confirmNextBox(seen);
        bool reachedEnd = false;
        noten::handleEventError([&] {
            throw noten::EOverflow();
            reachedEnd = true;
        });
        QVERIFY(!reachedEnd);
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, QStringLiteral("Überlauf bei Fließkommaoperation."));
    }

    void foreignErrorShownWithItsText() {
        SeenBox seen;
        confirmNextBox(seen);
        noten::handleEventError([] { throw std::length_error("zu lang"); });
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, QStringLiteral("zu lang."));
    }

    void handlerWithoutErrorShowsNothing() {
        int runs = 0;
        noten::handleEventError([&] { ++runs; });
        QCOMPARE(runs, 1);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void errorEndsMouseGrab() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SeenBox seen;
        confirmNextBox(seen);
        QWidget* grabbedMeanwhile = nullptr;
        noten::handleEventError([&] {
            window.grabMouse();
            grabbedMeanwhile = QWidget::mouseGrabber();
            throw noten::EInvalidOp();
        });
        QCOMPARE(grabbedMeanwhile, &window);
        QVERIFY(seen.shown);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void reporterUsesTheBox() {
        SeenBox seen;
        confirmNextBox(seen);
        noten::ErrorBoxReporter reporter;
        reporter.showError(noten::EConvertError("'x' ist kein gültiger Fließkommawert"));
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, QStringLiteral("'x' ist kein gültiger Fließkommawert."));
    }
};

QTEST_MAIN(ErrorBoxTest)
#include "error_box_test.moc"
