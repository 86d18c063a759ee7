// The input dialog driven like a user: it is found as the active modal widget while
// inputText() runs its nested event loop, inspected, and answered by keyboard or mouse.
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <cmath>
#include <functional>
#include <string>

#include "modal_helpers.h"
#include "ui/input_dialog.h"

namespace {

// What the open dialog showed, captured before it was answered (it is gone afterwards).
struct Seen {
    QPointer<QDialog> dialog;
    bool found = false;
    QString title;
    QString prompt;
    QString editText;
    QString selectedText;
    int maxLength = 0;
    bool editHasFocus = false;
    QString okText;
    QString cancelText;
    bool okIsDefault = false;
    Qt::WindowModality modality = Qt::NonModal;
    QFont font;
    QRect frame;
    QSize clientSize;
    QSize minimumSize;
    QSize maximumSize;
    QPoint promptPos;
    QRect editRect;
    QRect okRect;
    QRect cancelRect;
};

using Answer = std::function<void(QDialog*)>;

// Waits for the modal dialog, records what it shows, then lets `answer` close it. A dialog
// left open by a failing answer is rejected, so a broken test cannot hang.
std::string runDialog(const std::string& caption, const std::string& prompt,
                      const std::string& defaultText, const Answer& answer, Seen& seen) {
    testing_gui::whenModal<QDialog>([&seen, &answer](QDialog* dialog) {
        seen.found = true;
        seen.dialog = dialog;
        seen.title = dialog->windowTitle();
        auto* label = dialog->findChild<QLabel*>("inputTextPrompt");
        auto* edit = dialog->findChild<QLineEdit*>("inputTextEdit");
        auto* ok = dialog->findChild<QPushButton*>("okButton");
        auto* cancel = dialog->findChild<QPushButton*>("cancelButton");
        if (label && edit && ok && cancel) {
            seen.prompt = label->text();
            seen.editText = edit->text();
            seen.selectedText = edit->selectedText();
            seen.maxLength = edit->maxLength();
            seen.editHasFocus = dialog->focusWidget() == edit;
            seen.okText = ok->text();
            seen.cancelText = cancel->text();
            seen.okIsDefault = ok->isDefault();
            seen.promptPos = label->pos();
            seen.editRect = edit->geometry();
            seen.okRect = ok->geometry();
            seen.cancelRect = cancel->geometry();
        }
        seen.modality = dialog->windowModality();
        seen.font = dialog->font();
        seen.frame = dialog->frameGeometry();
        seen.clientSize = dialog->size();
        seen.minimumSize = dialog->minimumSize();
        seen.maximumSize = dialog->maximumSize();
        answer(dialog);
        QPointer<QDialog> guard(dialog);
        QTimer::singleShot(0, [guard] {
            if (guard && guard->isVisible()) {
                guard->reject();
            }
        });
    });
    return noten::InputDialog().inputText(caption, prompt, defaultText);
}

QLineEdit* editOf(QDialog* dialog) {
    return dialog->findChild<QLineEdit*>("inputTextEdit");
}

// Types `text` character by character; unlike QTest::keyClicks it takes any Unicode text.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void typeAndPress(QDialog* dialog, const QString& text, Qt::Key key) {
    typeText(editOf(dialog), text);
    QTest::keyClick(editOf(dialog), key);
}

// Pixels of `units` dialog units, a unit being base/perBase pixels.
int pixels(int units, int base, int perBase) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / perBase));
}

// Where a window of `frameSize` stands when centred on the primary screen's free area.
QPoint centredTopLeft(QSize frameSize) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    return {screen.x() + (screen.width() - frameSize.width()) / 2,
            screen.y() + (screen.height() - frameSize.height()) / 2};
}

}  // namespace

class InputDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(translator_.load(QStringLiteral("qtbase_de"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&translator_);
    }

    void cleanup() {
        QCoreApplication::removeTranslator(&translator_);
        QApplication::setFont(QFont());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void showsCaptionPromptAndSelectedDefault() {
        Seen seen;
        const std::string result = runDialog(
            "Notenstatistik aus Datei", "Dateiname (ohne Extension): ", "Übung äöß",
            [](QDialog* d) { QTest::keyClick(editOf(d), Qt::Key_Escape); }, seen);
        QVERIFY(seen.found);
        QCOMPARE(seen.title, QStringLiteral("Notenstatistik aus Datei"));
        QCOMPARE(seen.prompt, QStringLiteral("Dateiname (ohne Extension): "));
        QCOMPARE(seen.editText, QStringLiteral("Übung äöß"));
        QCOMPARE(seen.selectedText, QStringLiteral("Übung äöß"));
        QVERIFY(seen.editHasFocus);
        QCOMPARE(seen.maxLength, 255);
        QCOMPARE(seen.okText, QStringLiteral("OK"));
        QCOMPARE(seen.cancelText, QStringLiteral("Abbrechen"));
        QVERIFY(seen.okIsDefault);
        QCOMPARE(seen.modality, Qt::ApplicationModal);
        QCOMPARE(result, std::string("Übung äöß"));
    }

    void buttonsAreGermanWithoutTranslation() {
        QCoreApplication::removeTranslator(&translator_);
        Seen seen;
        runDialog(
            "Einzelnote", "Einzelnote eingeben (Berechnung bei 0) : ", "",
            [](QDialog* d) { QTest::keyClick(editOf(d), Qt::Key_Escape); }, seen);
        QVERIFY(seen.found);
        QCOMPARE(seen.okText, QStringLiteral("OK"));
        QCOMPARE(seen.cancelText, QStringLiteral("Abbrechen"));
    }

    void layoutFollowsDialogUnitsOfItsFont_data() {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("default font") << 0;
        QTest::newRow("small font") << 7;
        QTest::newRow("large font") << 20;
    }

    void layoutFollowsDialogUnitsOfItsFont() {
        QFETCH(int, pointSize);
        if (pointSize > 0) {
            QFont font = QApplication::font();
            font.setPointSize(pointSize);
            QApplication::setFont(font);
        }
        Seen seen;
        runDialog(
            "Einzelnote", "Einzelnote eingeben (Berechnung bei 0) : ", "",
            [](QDialog* d) { QTest::keyClick(editOf(d), Qt::Key_Escape); }, seen);
        QVERIFY(seen.found);

        const QFontMetrics metrics(seen.font);
        const int baseX =
            metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
        const int baseY = metrics.height();
        QVERIFY(baseX > 0 && baseY > 0);
        const auto x = [baseX](int u) { return pixels(u, baseX, 4); };
        const auto y = [baseY](int u) { return pixels(u, baseY, 8); };

        const QSize client(x(180), y(63));
        QCOMPARE(seen.clientSize, client);
        QCOMPARE(seen.minimumSize, client);
        QCOMPARE(seen.maximumSize, client);
        QCOMPARE(seen.promptPos, QPoint(x(8), y(8)));
        QCOMPARE(seen.editRect.topLeft(), QPoint(x(8), y(19)));
        QCOMPARE(seen.editRect.width(), x(164));
        QCOMPARE(seen.okRect, QRect(x(38), y(41), x(50), y(14)));
        QCOMPARE(seen.cancelRect, QRect(x(92), y(41), x(50), y(14)));

        QCOMPARE(seen.frame.topLeft(), centredTopLeft(seen.frame.size()));
    }

    void answers_data() {
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");

        QTest::newRow("Enter returns the typed text") << ""
                                                      << "2,5"
                                                      << "Return"
                                                      << "2,5";
        QTest::newRow("keypad Enter too") << ""
                                          << "3"
                                          << "Enter"
                                          << "3";
        QTest::newRow("typing replaces the selected default") << "alt"
                                                              << "neu"
                                                              << "Return"
                                                              << "neu";
        QTest::newRow("OK untouched returns the default") << "alt"
                                                          << ""
                                                          << "okClick"
                                                          << "alt";
        QTest::newRow("blanks are kept") << ""
                                         << " 3 "
                                         << "Return"
                                         << " 3 ";
        QTest::newRow("umlauts come back as UTF-8") << ""
                                                    << "Größe"
                                                    << "okClick"
                                                    << "Größe";
        QTest::newRow("at most 255 characters")
            << "" << QString(300, QLatin1Char('7')) << "Return" << QString(255, QLatin1Char('7'));
        QTest::newRow("Esc returns the default") << "alt"
                                                 << "neu"
                                                 << "Escape"
                                                 << "alt";
        QTest::newRow("Abbrechen returns the default") << "alt"
                                                       << "neu"
                                                       << "cancelClick"
                                                       << "alt";
        QTest::newRow("close box returns the default") << "alt"
                                                       << "neu"
                                                       << "close"
                                                       << "alt";
        QTest::newRow("cancelled empty default") << ""
                                                 << "4"
                                                 << "Escape"
                                                 << "";
    }

    void answers() {
        QFETCH(QString, defaultText);
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, expected);
        Seen seen;
        const std::string result = runDialog(
            "Einzelnote", "Einzelnote eingeben (Berechnung bei 0) : ", defaultText.toStdString(),
            [&](QDialog* d) {
                typeText(editOf(d), typed);
                if (how == "Return") {
                    QTest::keyClick(editOf(d), Qt::Key_Return);
                } else if (how == "Enter") {
                    QTest::keyClick(editOf(d), Qt::Key_Enter);
                } else if (how == "Escape") {
                    QTest::keyClick(editOf(d), Qt::Key_Escape);
                } else if (how == "okClick") {
                    QTest::mouseClick(d->findChild<QPushButton*>("okButton"), Qt::LeftButton);
                } else if (how == "cancelClick") {
                    QTest::mouseClick(d->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
                } else {
                    d->close();
                }
            },
            seen);
        QVERIFY(seen.found);
        QCOMPARE(QString::fromStdString(result), expected);
    }

    void everyCallBuildsAFreshDialogAndDestroysIt() {
        Seen first;
        runDialog(
            "Einzelnote", "erste", "", [](QDialog* d) { typeAndPress(d, "5", Qt::Key_Return); },
            first);
        QVERIFY(first.found);
        QVERIFY(first.dialog.isNull());  // gone before inputText returned, without event processing

        Seen second;
        const std::string result = runDialog(
            "Notenstatistik aus Datei", "zweite", "",
            [](QDialog* d) { QTest::keyClick(editOf(d), Qt::Key_Escape); }, second);
        QVERIFY(second.found);
        QVERIFY(second.dialog.isNull());
        QCOMPARE(second.title, QStringLiteral("Notenstatistik aus Datei"));
        QCOMPARE(second.prompt, QStringLiteral("zweite"));
        QCOMPARE(second.editText, QString());
        QCOMPARE(result, std::string());
        for (QWidget* widget : QApplication::allWidgets()) {
            QVERIFY(widget->objectName() != QStringLiteral("inputTextDialog"));
        }
    }

    void blocksOtherWindowsAndIgnoresTheirPosition() {
        QPushButton mainWindow(QStringLiteral("Noten eingeben"));
        int clicks = 0;
        connect(&mainWindow, &QPushButton::clicked, [&clicks] { ++clicks; });
        mainWindow.setGeometry(0, 0, 200, 80);
        mainWindow.show();
        mainWindow.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
        const QPoint centre = mainWindow.rect().center();

        Seen seen;
        bool blocked = false;
        const std::string result = runDialog(
            "Einzelnote", "Einzelnote eingeben (Berechnung bei 0) : ", "",
            [&](QDialog* d) {
                // Through the window system, where modality is enforced.
                QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {}, centre);
                QTest::keyClick(mainWindow.windowHandle(), Qt::Key_Space);
                blocked = QApplication::activeModalWidget() == d;
                typeAndPress(d, "2", Qt::Key_Return);
            },
            seen);
        QVERIFY(seen.found);
        QVERIFY(blocked);
        QCOMPARE(clicks, 0);
        QCOMPARE(result, std::string("2"));
        QCOMPARE(seen.frame.topLeft(), centredTopLeft(seen.frame.size()));

        // The window the user came from takes input again.
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
        QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {}, centre);
        QCOMPARE(clicks, 1);
    }

private:
    QTranslator translator_;
};

QTEST_MAIN(InputDialogTest)
#include "input_dialog_test.moc"
