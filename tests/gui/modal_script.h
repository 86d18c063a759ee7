#pragma once

// A scripted user for the program's modal windows: while a command runs its nested event
// loops, each input dialog or error box that opens is answered by the next step of the script,
// and what it showed is recorded. A window nobody expected is closed and reported, so a wrong
// program never leaves a test hanging. Keep one script alive at a time: it also answers the
// windows meant for a later one.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <vector>

class ModalScript {
public:
    enum class Kind { InputDialog, ErrorBox };

    // What one modal window showed when it opened.
    struct Seen {
        Kind kind = Kind::InputDialog;
        QString title;
        QString text;      // the dialog's prompt or the box's message
        QString editText;  // the dialog's field as it opened
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttonCount = 0;
    };

    ModalScript() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    // The next input dialog gets `typed`, then `key` (Return = OK, Escape = Abbrechen).
    ModalScript& type(const QString& typed, Qt::Key key = Qt::Key_Return) {
        steps_.push_back({Kind::InputDialog, typed, key});
        return *this;
    }
    // The next input dialog is cancelled with Esc.
    ModalScript& cancel() { return type(QString(), Qt::Key_Escape); }
    // The next window is an error box; it is confirmed with OK.
    ModalScript& confirmError() {
        steps_.push_back({Kind::ErrorBox, QString(), Qt::Key_Return});
        return *this;
    }

    const std::vector<Seen>& seen() const { return seen_; }
    std::size_t stepsLeft() const { return steps_.size(); }
    // Windows that opened against the script, described for the failure message.
    const QStringList& unexpected() const { return unexpected_; }

    // Types any Unicode text into `widget`, character by character.
    static void typeText(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

private:
    struct Step {
        Kind kind;
        QString typed;
        Qt::Key key;
    };

    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (busy_ || modal == nullptr || !modal->isVisible() || modal == last_.data()) {
            return;
        }
        busy_ = true;
        last_ = modal;
        answer(modal);
        busy_ = false;
    }

    void answer(QWidget* modal) {
        Seen seen;
        seen.title = modal->windowTitle();
        auto* box = qobject_cast<QMessageBox*>(modal);
        auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("inputTextEdit"));
        if (box != nullptr) {
            seen.kind = Kind::ErrorBox;
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttonCount = static_cast<int>(box->buttons().size());
        } else if (edit != nullptr) {
            if (auto* prompt = modal->findChild<QLabel*>(QStringLiteral("inputTextPrompt"))) {
                seen.text = prompt->text();
            }
            seen.editText = edit->text();
        } else {
            unexpected_ << QStringLiteral("unknown modal window '%1'").arg(seen.title);
            modal->close();
            return;
        }
        seen_.push_back(seen);

        if (steps_.empty() || steps_.front().kind != seen.kind) {
            unexpected_ << QStringLiteral("%1 '%2': %3")
                               .arg(box ? "error box" : "input dialog", seen.title, seen.text);
            modal->close();
            return;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        if (box != nullptr) {
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            if (ok == nullptr) {
                unexpected_ << QStringLiteral("error box without OK: %1").arg(seen.text);
                box->close();
                return;
            }
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            typeText(edit, step.typed);
            QTest::keyClick(edit, step.key);
        }
    }

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<Seen> seen_;
    QStringList unexpected_;
    QPointer<QWidget> last_;
    bool busy_ = false;
};
