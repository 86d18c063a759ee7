// A long seeded random session on the real main window, drawn offscreen: the four buttons,
// clicked, pressed with Space or Enter; texts typed into the input dialogs (grades written in
// many ways, typing mistakes, very long texts, blanks, huge values), confirmed or cancelled;
// good, damaged and missing grade files; every error box acknowledged. A robot on a timer
// answers the modal windows inside the commands' nested event loops and knows what each
// answer must lead to. After every step the window must be back at rest with sane contents.
//
// NOTEN_STRESS_SEED replays a session, NOTEN_STRESS_STEPS sets its length. The seed is
// printed at the start and in every failure.
#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <vector>

#include "app/application_title.h"
#include "app/german_translations.h"
#include "chart/distribution_chart.h"
#include "core/floating_point.h"
#include "modal_script.h"
#include "stats/grade_statistics.h"
#include "ui/tform1.h"

namespace {

// The seed of the replayed session; any other is chosen by the clock or the environment.
constexpr quint64 kFixedSeed = 20240611;
// Enough to meet every kind of answer many times, short enough for every CI run.
constexpr int kDefaultSteps = 1200;
// The input dialog's field takes at most this many characters.
constexpr int kMaxTextLength = 255;
// A command that keeps asking after this many answers is reported and then cancelled.
constexpr int kAnswersBeforeCancel = 40;
// ... and one that asks even more is stuck in a loop: the test stops instead of hanging.
constexpr int kAnswersBeforeGivingUp = 400;

const QString kEntryCaption = QStringLiteral("Einzelnote");
const QString kEntryPrompt = QStringLiteral("Einzelnote eingeben (Berechnung bei 0) : ");
const QString kFileCaption = QStringLiteral("Notenstatistik aus Datei");
const QString kFilePrompt = QStringLiteral("Dateiname (ohne Extension): ");
const QString kConvertError = QStringLiteral("'%1' ist kein gültiger Fließkommawert.");
const QString kOverflowError = QStringLiteral("Überlauf bei Fließkommaoperation.");
const QString kInvalidOpError = QStringLiteral("Fehler bei Fließkommaoperation.");

// Deterministic on every standard library (SplitMix64), so a seed replays the same session.
class Random {
public:
    explicit Random(quint64 seed) : state_(seed) {}

    quint64 next() {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<quint64>(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

private:
    quint64 state_;
};

// The offscreen platform warns about every fixed-size dialog; thousands of these would bury
// the test's own output. Everything else goes on to Qt Test.
QtMessageHandler qtTestHandler = nullptr;

void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints"))) {
        return;
    }
    qtTestHandler(type, context, message);
}

quint64 environmentNumber(const char* name, quint64 fallback) {
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

QString joinedBars(const std::array<int, 6>& bars) {
    QStringList values;
    for (const int bar : bars) {
        values << QString::number(bar);
    }
    return values.join(QLatin1Char(' '));
}

// What the window shows: the three result fields and the six bars.
struct Contents {
    QString mean;
    QString deviation;
    QString count;
    std::array<int, 6> bars{};

    bool operator==(const Contents&) const = default;
    QString describe() const {
        return QStringLiteral("'%1' / '%2' / '%3', Balken %4")
            .arg(mean, deviation, count, joinedBars(bars));
    }
};

const Contents kBlank{};

// One file in the fixture folder, typed as its path without ".txt".
struct GradeFile {
    QString name;
    bool good = false;
    Contents shows;     // good: the results
    QString boxText;    // damaged: the whole error text, or empty when only
    QString boxPrefix;  // its beginning is known
};

enum class Effect {
    Grade,       // a grade is counted, the dialog comes again
    EndEntry,    // the entry ends and is evaluated
    Typo,        // an error box, then the dialog again
    Fatal,       // an error box ends the command
    AskAgain,    // the file does not open: the dialog again, no box
    FileOpens,   // the named file is read
    EndCommand,  // empty or cancelled file name: nothing happens
};

enum class Close { Enter, OkButton, Escape, CancelButton, CloseBox };

struct Answer {
    QString typed;
    Close close = Close::Enter;
    Effect effect = Effect::EndEntry;
    int tenths = 0;                   // Grade: its value in tenths
    QString boxText;                  // Typo, Fatal: the error box's text
    const GradeFile* file = nullptr;  // FileOpens
};

Answer makeAnswer(const QString& typed, Close close, Effect effect, int tenths = 0) {
    Answer answer;
    answer.typed = typed;
    answer.close = close;
    answer.effect = effect;
    answer.tenths = tenths;
    return answer;
}

QString describe(const Answer& answer) {
    static const char* const closes[] = {"Enter", "OK", "Esc", "Abbrechen", "Schließfeld"};
    QString typed = answer.typed;
    if (typed.size() > 40) {
        typed = typed.left(16) + QStringLiteral("…(%1 Zeichen)").arg(answer.typed.size());
    }
    return QStringLiteral("'%1'+%2").arg(typed, closes[static_cast<int>(answer.close)]);
}

// The text the field keeps of what was typed.
QString fieldText(const QString& typed) {
    return typed.left(kMaxTextLength);
}

// `tenths` / 10 in German notation, in one of several equivalent spellings.
QString spellTenths(int tenths, Random& random) {
    const int whole = tenths / 10;
    const int fraction = tenths % 10;
    const QString plain =
        fraction == 0 ? QString::number(whole) : QStringLiteral("%1,%2").arg(whole).arg(fraction);
    switch (random.below(9)) {
        case 0:
            return QString(random.between(1, 3), QLatin1Char(' ')) + plain +
                   QString(random.between(0, 3), QLatin1Char(' '));
        case 1:
            return QLatin1Char('+') + plain;
        case 2:
            return QStringLiteral("00") + plain;
        case 3:
            return QString::number(tenths) + QStringLiteral("e-1");
        case 4:
            return QString::number(tenths) + QStringLiteral("0E-2");
        case 5:
            if (fraction == 0) {
                return QString::number(whole) + QLatin1Char(',');
            }
            return whole == 0 ? QStringLiteral(",%1").arg(fraction) : plain;
        case 6:
            // As long as the field takes, leading zeros and all.
            return QString(kMaxTextLength - static_cast<int>(plain.size()), QLatin1Char('0')) +
                   plain;
        default:
            return plain;
    }
}

// Tenths of a grade: mostly 1 to 6, sometimes below 1 (no bar) or above 6,4 (no bar).
int randomTenths(Random& random) {
    const int kind = random.below(10);
    if (kind < 7) {
        return random.between(10, 60);
    }
    if (kind == 7) {
        return random.between(1, 9);
    }
    if (kind == 8) {
        return random.between(61, 99);
    }
    return random.pick(std::vector<int>{120, 250, 10000});
}

// The bar a grade of `tenths` / 10 falls into: 1 to 6, or 0 for none. Half grades round up;
// a grade written in tenths never lies close enough to another boundary for the float
// rounding to matter.
int barOf(int tenths) {
    const int whole = (tenths + 5) / 10;
    return whole >= 1 && whole <= 6 ? whole : 0;
}

// Shown values are truncated to tenths: `shown` lies in (exact - 0.1, exact], give or take
// the float rounding of the computation.
bool plausibleTenths(const QString& shown, double exact) {
    bool ok = false;
    const double value = QString(shown).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    const double slack = 1e-4 * std::max(1.0, std::abs(exact));
    return ok && value <= exact + slack && value > exact - 0.1 - slack;
}

}  // namespace

// One random session: the program under test, the fixture files, the robot and the checks.
class StressSession {
public:
    StressSession(quint64 seed, int steps) : seed_(seed), steps_(steps), random_(seed) {
        robot_.setInterval(0);
        QObject::connect(&robot_, &QTimer::timeout, [this] { poll(); });
    }

    // Runs the session; returns a description of the first failure, or an empty string.
    QString run() {
        if (!folder_.isValid()) {
            return QStringLiteral("no temporary folder");
        }
        writeFiles();
        startProgram();
        robot_.start();
        QString problem = atRest(kBlank);
        while (problem.isEmpty() && step_ < steps_) {
            ++step_;
            problem = randomStep();
        }
        if (problem.isEmpty()) {
            ++step_;
            problem = finalEvaluations();
        }
        robot_.stop();
        qInfo("seed %llu: %d dialogs answered, %d error boxes, %d evaluations shown",
              static_cast<unsigned long long>(seed_), dialogs_, boxes_, evaluations_);
        form_.reset();
        if (!problem.isEmpty()) {
            // Qt Test shortens long failure messages: the steps that led here go first.
            printLog();
            const QString where = step_ > steps_ ? QStringLiteral("the final evaluations")
                                                 : QStringLiteral("step %1").arg(step_);
            return QStringLiteral(
                       "seed %1 (replay: NOTEN_STRESS_SEED=%1 NOTEN_STRESS_STEPS=%2 "
                       "gui_stress_test "
                       "freshSeed), "
                       "%3: %4")
                .arg(seed_)
                .arg(steps_)
                .arg(where, problem);
        }
        return {};
    }

private:
    enum class Command { None, Entry, File };

    // What the running command has been told and must do next.
    struct Run {
        Command command = Command::None;
        int answers = 0;
        bool expectBox = false;  // the next modal window must be this error box
        QString boxText;
        QString boxPrefix;
        bool endsAfterBox = false;
        bool finished = false;    // the command must open nothing more
        bool evaluates = false;   // it ends by showing results
        std::vector<int> grades;  // Entry: tenths counted
        const GradeFile* file = nullptr;
    };

    // ---- the program

    void startProgram() {
        form_.reset();
        statistics_ = std::make_unique<noten::GradeStatistics>();
        form_ = std::make_unique<noten::TForm1>(*statistics_);
        showForm();
    }

    void showForm() {
        form_->show();
        form_->activateWindow();  // no window manager does it here
        if (!QTest::qWaitForWindowActive(form_.get())) {
            problems_ << QStringLiteral("the main window did not become active");
        }
    }

    QPushButton* button(int number) const {
        return form_->findChild<QPushButton*>(QStringLiteral("Button%1").arg(number));
    }

    // Clicks, or presses Space or Enter on, a button: the handler runs to its end, nested
    // event loops included, before this returns.
    void press(int number) {
        QPushButton* target = button(number);
        switch (random_.below(3)) {
            case 0:
                log(QStringLiteral("Klick auf Button%1").arg(number));
                QTest::mouseClick(target, Qt::LeftButton);
                break;
            case 1:
                log(QStringLiteral("Leertaste auf Button%1").arg(number));
                target->setFocus(Qt::TabFocusReason);
                QTest::keyClick(target, Qt::Key_Space);
                break;
            default:
                log(QStringLiteral("Enter auf Button%1").arg(number));
                target->setFocus(Qt::TabFocusReason);
                QTest::keyClick(target, Qt::Key_Return);
                break;
        }
    }

    Contents shown(QString* problem) const {
        Contents display;
        const auto text = [this](const char* name) {
            auto* label = form_->findChild<QLabel*>(QLatin1String(name));
            return label ? label->text() : QStringLiteral("<kein %1>").arg(name);
        };
        display.mean = text("Label4");
        display.deviation = text("Label5");
        display.count = text("Label6");
        auto* chart = form_->findChild<noten::DistributionChart*>(QStringLiteral("VCF"));
        const QList<QAbstractSeries*> series =
            chart ? chart->chart()->series() : QList<QAbstractSeries*>();
        auto* bars =
            series.size() == 1 ? qobject_cast<QAbstractBarSeries*>(series.first()) : nullptr;
        if (bars == nullptr || bars->count() != 1 || bars->barSets().first()->count() != 6) {
            *problem = QStringLiteral("the chart lost its one row of six bars");
            return display;
        }
        const QBarSet* row = bars->barSets().first();
        for (int column = 1; column <= 6; ++column) {
            const int value = chart->value(column);
            const qreal drawn = row->at(column - 1);
            // Every bar is a whole count, and the bar drawn is the value held.
            if (value < 0 || drawn != std::floor(drawn) || drawn != value) {
                *problem = QStringLiteral("bar %1 holds %2, drawn as %3")
                               .arg(column)
                               .arg(value)
                               .arg(drawn);
            }
            display.bars[static_cast<std::size_t>(column - 1)] = value;
        }
        return display;
    }

    // ---- the step chooser

    QString randomStep() {
        QString problem;
        const Contents before = shown(&problem);
        if (!problem.isEmpty()) {
            return problem;
        }
        const int roll = random_.below(100);
        if (roll < 40) {
            return command(Command::Entry, before);
        }
        if (roll < 80) {
            return command(Command::File, before);
        }
        if (roll < 90) {
            press(4);
            return atRest(kBlank);
        }
        if (roll < 97) {
            return filteredEnter(before);
        }
        return quit(before);
    }

    QString command(Command which, const Contents& before) {
        run_ = Run{};
        run_.command = which;
        press(which == Command::Entry ? 1 : 3);
        const Run done = run_;
        run_ = Run{};
        if (!problems_.isEmpty()) {
            return problems_.join(QStringLiteral("; "));
        }
        if (done.expectBox) {
            return QStringLiteral("the command ended without the error box '%1'")
                .arg(done.boxText.isEmpty() ? done.boxPrefix + QStringLiteral("…") : done.boxText);
        }
        if (!done.finished) {
            return QStringLiteral("the command ended without asking again");
        }
        if (!done.evaluates) {
            return atRest(before);
        }
        ++evaluations_;
        if (which == Command::File) {
            QString problem = atRest(done.file->shows);
            return problem.isEmpty() ? consistentRecord() : problem;
        }
        return afterEntry(done.grades);
    }

    // Shift, Ctrl or Alt with Enter on a button clicks nothing.
    QString filteredEnter(const Contents& before) {
        const int number = random_.between(1, 4);
        const Qt::KeyboardModifier modifier = random_.pick(std::vector<Qt::KeyboardModifier>{
            Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier});
        const QString held = modifier == Qt::ShiftModifier     ? QStringLiteral("Umschalt")
                             : modifier == Qt::ControlModifier ? QStringLiteral("Strg")
                                                               : QStringLiteral("Alt");
        log(QStringLiteral("%1+Enter auf Button%2").arg(held).arg(number));
        button(number)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button(number), Qt::Key_Return, modifier);
        return problems_.isEmpty() ? atRest(before) : problems_.join(QStringLiteral("; "));
    }

    // Quit closes the window; then it is shown again, or a new program starts.
    QString quit(const Contents& before) {
        if (random_.percent(70)) {
            press(2);
        } else {
            log(QStringLiteral("Schließfeld des Hauptfensters"));
            form_->windowHandle()->close();
        }
        if (!problems_.isEmpty()) {
            return problems_.join(QStringLiteral("; "));
        }
        if (form_->isVisible()) {
            return QStringLiteral("Quit left the main window open");
        }
        if (QString stray = strayWindow(); !stray.isEmpty()) {
            return stray;
        }
        if (random_.percent(50)) {
            log(QStringLiteral("  Fenster wieder gezeigt"));
            showForm();
            return atRest(before);
        }
        log(QStringLiteral("  neues Programm"));
        startProgram();
        return atRest(kBlank);
    }

    // ---- the robot

    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (busy_ || modal == nullptr || !modal->isVisible()) {
            return;
        }
        if (modal == answered_.data()) {
            // Every answer closes its window at once; one still open is stuck.
            problems_ << QStringLiteral("'%1' stayed open after it was answered")
                             .arg(modal->windowTitle());
            if (++closeAttempts_ > 100) {
                printLog();
                qFatal("seed %llu, step %d: '%s' cannot be closed",
                       static_cast<unsigned long long>(seed_), step_,
                       qPrintable(modal->windowTitle()));
            }
            modal->close();
            return;
        }
        busy_ = true;
        answered_ = modal;
        closeAttempts_ = 0;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            answerBox(box);
        } else if (modal->objectName() == QLatin1String("inputTextDialog")) {
            answerDialog(modal);
        } else {
            problems_ << QStringLiteral("unknown modal window '%1'").arg(modal->windowTitle());
            modal->close();
        }
        busy_ = false;
    }

    void answerBox(QMessageBox* box) {
        ++boxes_;
        log(QStringLiteral("  Fehlermeldung '%1'").arg(box->text()));
        if (!run_.expectBox) {
            problems_ << QStringLiteral("unexpected error box '%1'").arg(box->text());
        } else if (!run_.boxText.isEmpty() ? box->text() != run_.boxText
                                           : !box->text().startsWith(run_.boxPrefix)) {
            problems_ << QStringLiteral("error box '%1', expected '%2'")
                             .arg(box->text(), run_.boxText.isEmpty()
                                                   ? run_.boxPrefix + QStringLiteral("…")
                                                   : run_.boxText);
        } else if (box->windowTitle() != noten::applicationTitle() ||
                   box->icon() != QMessageBox::Critical || box->buttons().size() != 1) {
            problems_ << QStringLiteral("error box '%1' titled '%2' is not a stop box with OK")
                             .arg(box->text(), box->windowTitle());
        }
        run_.expectBox = false;
        run_.finished = run_.endsAfterBox;
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        switch (ok == nullptr ? 3 : random_.below(4)) {
            case 0:
                QTest::mouseClick(ok, Qt::LeftButton);
                break;
            case 1:
                QTest::keyClick(box, Qt::Key_Return);
                break;
            case 2:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
            default:
                box->close();
                break;
        }
    }

    void answerDialog(QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("inputTextEdit"));
        auto* prompt = dialog->findChild<QLabel*>(QStringLiteral("inputTextPrompt"));
        const bool entry = run_.command == Command::Entry;
        const QString caption = entry ? kEntryCaption : kFileCaption;
        if (edit == nullptr || prompt == nullptr) {
            problems_ << QStringLiteral("input dialog without its field");
            dialog->close();
            return;
        }
        if (++run_.answers > kAnswersBeforeGivingUp) {
            printLog();
            qFatal("seed %llu, step %d: the command keeps asking after %d answers",
                   static_cast<unsigned long long>(seed_), step_, run_.answers);
        }
        if (run_.command == Command::None || run_.finished || run_.expectBox) {
            problems_ << QStringLiteral("unexpected input dialog '%1'%2")
                             .arg(dialog->windowTitle(),
                                  run_.expectBox ? QStringLiteral(" instead of a box") : QString());
            answerWith(dialog, edit, makeAnswer(QString(), Close::Escape, Effect::EndCommand));
            return;
        }
        if (dialog->windowTitle() != caption ||
            prompt->text() != (entry ? kEntryPrompt : kFilePrompt) || !edit->text().isEmpty()) {
            problems_ << QStringLiteral("dialog '%1' asks '%2' with '%3' in its field")
                             .arg(dialog->windowTitle(), prompt->text(), edit->text());
        }
        Answer answer;
        if (!forced_.empty()) {
            answer = forced_.front();
            forced_.pop_front();
        } else if (run_.answers > kAnswersBeforeCancel) {
            problems_ << QStringLiteral("the command keeps asking after %1 answers")
                             .arg(kAnswersBeforeCancel);
            answer =
                makeAnswer(QString(), Close::Escape, entry ? Effect::EndEntry : Effect::EndCommand);
        } else {
            answer = entry ? entryAnswer() : fileAnswer();
        }
        expect(answer);
        answerWith(dialog, edit, answer);
    }

    void answerWith(QWidget* dialog, QLineEdit* edit, const Answer& answer) {
        ++dialogs_;
        log(QStringLiteral("  %1: %2").arg(dialog->windowTitle(), describe(answer)));
        ModalScript::typeText(edit, answer.typed);
        switch (answer.close) {
            case Close::Enter:
                QTest::keyClick(edit, Qt::Key_Return);
                break;
            case Close::OkButton:
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")),
                                  Qt::LeftButton);
                break;
            case Close::Escape:
                QTest::keyClick(edit, Qt::Key_Escape);
                break;
            case Close::CancelButton:
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                                  Qt::LeftButton);
                break;
            case Close::CloseBox:
                dialog->close();
                break;
        }
    }

    // What the running command must do after `answer`.
    void expect(const Answer& answer) {
        switch (answer.effect) {
            case Effect::Grade:
                run_.grades.push_back(answer.tenths);
                break;
            case Effect::EndEntry:
                run_.finished = true;
                run_.evaluates = !run_.grades.empty();
                break;
            case Effect::Typo:
            case Effect::Fatal:
                run_.expectBox = true;
                run_.boxText = answer.boxText;
                run_.endsAfterBox = answer.effect == Effect::Fatal;
                break;
            case Effect::AskAgain:
                break;
            case Effect::FileOpens:
                if (answer.file->good) {
                    run_.finished = true;
                    run_.evaluates = true;
                    run_.file = answer.file;
                } else {
                    run_.expectBox = true;
                    run_.boxText = answer.file->boxText;
                    run_.boxPrefix = answer.file->boxPrefix;
                    run_.endsAfterBox = true;
                }
                break;
            case Effect::EndCommand:
                run_.finished = true;
                break;
        }
    }

    Close confirming() { return random_.percent(80) ? Close::Enter : Close::OkButton; }

    Close cancelling() {
        return random_.pick(
            std::vector<Close>{Close::Escape, Close::CancelButton, Close::CloseBox});
    }

    // Whatever was typed, a cancelled dialog is an empty answer.
    Answer cancelledAnswer(Effect effect) {
        Answer answer;
        answer.typed =
            random_.percent(50) ? QString() : spellTenths(randomTenths(random_), random_);
        answer.close = cancelling();
        answer.effect = effect;
        return answer;
    }

    Answer entryAnswer() {
        const int roll = random_.below(100);
        if (roll < 50 && run_.answers <= 12) {
            Answer grade;
            grade.tenths = randomTenths(random_);
            grade.typed = spellTenths(grade.tenths, random_);
            grade.close = confirming();
            grade.effect = Effect::Grade;
            return grade;
        }
        if (roll < 70 && run_.answers <= 12) {
            return typo();
        }
        if (roll < 73) {
            return fatal();
        }
        if (roll < 80) {
            return cancelledAnswer(Effect::EndEntry);
        }
        Answer end;
        end.close = confirming();
        end.effect = Effect::EndEntry;
        switch (random_.below(8)) {
            case 0:
                end.typed = QStringLiteral("0");
                break;
            case 1:
                end.typed = random_.pick(std::vector<QString>{"-0", ",", "0,0", "  0 ", "0e5"});
                break;
            case 2:
                end.typed =
                    QStringLiteral("-%1,%2").arg(random_.between(0, 9)).arg(random_.between(1, 9));
                break;
            case 3:
                end.typed = QStringLiteral("1E-50");  // too small for a float: 0
                break;
            case 4:
                // The field keeps only the zeros: the grade at the end is cut off.
                end.typed = QString(kMaxTextLength + random_.between(0, 60), QLatin1Char('0')) +
                            QStringLiteral("3");
                break;
            default:
                break;  // empty
        }
        return end;
    }

    // A text that is no grade: the error box, then the same question again.
    Answer typo() {
        Answer answer;
        answer.close = confirming();
        answer.effect = Effect::Typo;
        const int roll = random_.below(10);
        if (roll < 2) {
            answer.typed = random_.pick(std::vector<QString>{"1e39", "-1e39", "1e400"});
            answer.boxText = kOverflowError;
            return answer;
        }
        if (roll == 2) {
            // 255 nines are still a number, but far too large for a float.
            answer.typed = QString(kMaxTextLength + random_.between(-20, 60), QLatin1Char('9'));
            answer.boxText = kOverflowError;
            return answer;
        }
        switch (roll) {
            case 3:
                answer.typed = QString(random_.between(1, kMaxTextLength + 50), QLatin1Char(' '));
                break;
            case 4:
                answer.typed = QString(random_.between(100, kMaxTextLength + 80), QLatin1Char('x'));
                break;
            default:
                answer.typed = random_.pick(std::vector<QString>{
                    "abc", "2.5", "1.000", "2,5,", "1 2", "3 4", "e5", "--2", "+-2", "2,5x", "ä",
                    "½", "1e5000", "0x10", "2;5", "'", "%1", "<b>3</b>", "\\"});
                break;
        }
        answer.boxText = kConvertError.arg(fieldText(answer.typed));
        return answer;
    }

    // Converts, but too large to classify: the error ends the whole entry.
    Answer fatal() {
        Answer answer;
        answer.typed = random_.pick(std::vector<QString>{"1e18", "3e38", "1e20", "  1E19 "});
        answer.close = confirming();
        answer.effect = Effect::Fatal;
        answer.boxText = kInvalidOpError;
        return answer;
    }

    Answer fileAnswer() {
        const int roll = random_.below(100);
        Answer answer;
        answer.close = confirming();
        if (roll < 30) {
            answer.file = &random_.pick(goodFiles_);
        } else if (roll < 55) {
            answer.file = &random_.pick(damagedFiles_);
        } else if (roll < 85 && run_.answers <= 8) {
            answer.effect = Effect::AskAgain;
            const GradeFile& some = random_.pick(goodFiles_);
            switch (random_.below(5)) {
                case 0:
                    answer.typed = folder_.filePath(QStringLiteral("fehlt"));
                    break;
                case 1:
                    answer.typed = folder_.path();  // a folder does not open as a file
                    break;
                case 2:
                    answer.typed = some.name + QStringLiteral(".txt");  // ".txt.txt"
                    break;
                case 3:
                    answer.typed = some.name + QLatin1Char(' ');  // used untrimmed
                    break;
                default:
                    // Cut off by the field somewhere in the long name: no such file.
                    answer.typed = folder_.filePath(QString(kMaxTextLength, QLatin1Char('n')));
                    break;
            }
            return answer;
        } else if (roll < 93) {
            return cancelledAnswer(Effect::EndCommand);
        } else {
            answer.effect = Effect::EndCommand;  // empty name
            return answer;
        }
        answer.typed = answer.file->name;
        answer.effect = Effect::FileOpens;
        return answer;
    }

    // ---- the checks

    // No window left over, and the fields show `expected`.
    QString atRest(const Contents& expected) {
        if (!problems_.isEmpty()) {
            return problems_.join(QStringLiteral("; "));
        }
        QString problem = strayWindow();
        if (!problem.isEmpty()) {
            return problem;
        }
        if (!form_->isVisible()) {
            return QStringLiteral("the main window is gone");
        }
        const Contents display = shown(&problem);
        if (problem.isEmpty()) {
            problem = saneTexts(display);
        }
        if (problem.isEmpty() && !(display == expected)) {
            problem = QStringLiteral("the window shows %1, expected %2")
                          .arg(display.describe(), expected.describe());
        }
        return problem;
    }

    static QString strayWindow() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            return QStringLiteral("modal window '%1' left behind").arg(modal->windowTitle());
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->objectName() != QLatin1String("Form1") &&
                widget->windowType() != Qt::ToolTip) {
                return QStringLiteral("window '%1' (%2) left open")
                    .arg(widget->windowTitle(), widget->metaObject()->className());
            }
        }
        return {};
    }

    static QString saneTexts(const Contents& display) {
        static const QRegularExpression tenths(
            QStringLiteral("^(|0|-?[1-9][0-9]*(,[1-9])?|-?0,[1-9])$"));
        static const QRegularExpression count(QStringLiteral("^(|-?[0-9]+)$"));
        if (!tenths.match(display.mean).hasMatch() || !tenths.match(display.deviation).hasMatch() ||
            !count.match(display.count).hasMatch()) {
            return QStringLiteral("malformed results %1").arg(display.describe());
        }
        return {};
    }

    // The count and bars are those of the grades typed, mean and deviation their values
    // truncated to tenths.
    QString afterEntry(const std::vector<int>& grades) {
        QString problem;
        const Contents display = shown(&problem);
        if (problem.isEmpty()) {
            problem = saneTexts(display);
        }
        if (!problem.isEmpty()) {
            return problem;
        }
        std::array<int, 6> bars{};
        double sum = 0.0;
        for (const int tenths : grades) {
            sum += tenths / 10.0;
            if (const int bar = barOf(tenths); bar != 0) {
                ++bars[static_cast<std::size_t>(bar - 1)];
            }
        }
        const double mean = sum / static_cast<double>(grades.size());
        double squares = 0.0;
        for (const int tenths : grades) {
            squares += (tenths / 10.0 - mean) * (tenths / 10.0 - mean);
        }
        const double deviation = std::sqrt(squares / static_cast<double>(grades.size()));
        if (display.count != QString::number(grades.size()) || display.bars != bars ||
            !plausibleTenths(display.mean, mean) ||
            !plausibleTenths(display.deviation, deviation)) {
            return QStringLiteral(
                       "after %1 grades the window shows %2, expected count %1, "
                       "bars %3, mean %4, deviation %5")
                .arg(grades.size())
                .arg(display.describe(), joinedBars(bars))
                .arg(mean)
                .arg(deviation);
        }
        problem = atRest(display);
        return problem.isEmpty() ? consistentRecord() : problem;
    }

    // After an evaluation the record is what the window shows.
    QString consistentRecord() const {
        QString problem;
        const Contents display = shown(&problem);
        const noten::GradeStatistics& record = *statistics_;
        int tallied = 0;
        bool matches = display.count == QString::number(record.gradeCount);
        for (int bar = 1; bar <= 6; ++bar) {
            const int value = record.gradeTally[static_cast<std::size_t>(bar)];
            tallied += value;
            matches = matches && value >= 0 && value == display.bars[bar - 1];
        }
        if (!matches || tallied > record.gradeCount) {
            return QStringLiteral("record: count %1, tally sum %2; window: %3")
                .arg(record.gradeCount)
                .arg(tallied)
                .arg(display.describe());
        }
        return problem;
    }

    // The evaluations of a known entry and a known file still give the right results.
    QString finalEvaluations() {
        log(QStringLiteral("Abschluss: 2, 3, 0"));
        forced_ = {makeAnswer(QStringLiteral("2"), Close::Enter, Effect::Grade, 20),
                   makeAnswer(QStringLiteral("3"), Close::Enter, Effect::Grade, 30),
                   makeAnswer(QStringLiteral("0"), Close::Enter, Effect::EndEntry)};
        QString problem;
        const Contents before = shown(&problem);
        if (problem.isEmpty()) {
            problem = command(Command::Entry, before);
        }
        if (problem.isEmpty()) {
            problem = atRest(Contents{"2,5", "0,5", "2", {0, 1, 1, 0, 0, 0}});
        }
        if (!problem.isEmpty()) {
            return problem;
        }
        log(QStringLiteral("Abschluss: Klassendatei"));
        const GradeFile& klasse = goodFiles_.front();
        Answer name = makeAnswer(klasse.name, Close::Enter, Effect::FileOpens);
        name.file = &klasse;
        forced_ = {name};
        problem = command(Command::File, before);
        if (problem.isEmpty()) {
            problem = atRest(Contents{"2,5", "1,2", "3", {1, 0, 1, 1, 0, 0}});
        }
        return problem;
    }

    // ---- fixtures

    QString writeFile(const QString& name, const QByteArray& content) {
        const QString base = folder_.filePath(name);
        QFile file(base + QStringLiteral(".txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            qFatal("cannot write the test file %s", qPrintable(file.fileName()));
        }
        return base;
    }

    void good(const QString& name, const QByteArray& content, const Contents& shows) {
        goodFiles_.push_back(GradeFile{writeFile(name, content), true, shows, {}, {}});
    }

    // `problem` follows the quoted file name; an empty one is not checked.
    void damaged(const QString& name, const QByteArray& content, const QString& problem) {
        GradeFile file{writeFile(name, content), false, {}, {}, {}};
        file.boxPrefix = QStringLiteral("'%1.txt'").arg(file.name);
        if (!problem.isEmpty()) {
            file.boxText = file.boxPrefix + problem;
        }
        damagedFiles_.push_back(file);
    }

    void writeFiles() {
        good("klasse", "3\n2.5 1 4\n", {"2,5", "1,2", "3", {1, 0, 1, 1, 0, 0}});
        good("sechser",
             "2\r\n6 6\r\n\x1a"
             "kaputt",
             {"6", "0", "2", {0, 0, 0, 0, 0, 2}});
        good("einzeln", "1\n5", {"5", "0", "1", {0, 0, 0, 0, 1, 0}});
        good("rest", "4\n1 2\n3\t4 und danach nichts Lesbares",
             {"2,5", "1,1", "4", {1, 1, 1, 1, 0, 0}});
        QByteArray full = "1000\n";
        for (int i = 0; i < 1000; ++i) {
            full += i % 2 == 0 ? "2 " : "4\n";
        }
        good("voll", full, {"3", "1", "1000", {0, 500, 0, 500, 0, 0}});

        damaged("kurz", "4\n2 3\n", " enthält nur 2 von 4 Noten.");
        damaged("komma", "3\n2 1 2,5\n", ": Note 3 ('2,5') ist keine gültige Zahl.");
        damaged("null", "0\n", " enthält keine Noten.");
        damaged("zuviel", "1001\n1\n", " enthält mehr als 1000 Noten.");
        damaged("leer", "", " enthält keine gültige Notenanzahl.");
        damaged("leerzeichen", " \n\t\r\n", " enthält keine gültige Notenanzahl.");
        damaged("punkt", "2.5\n1 2\n", " enthält keine gültige Notenanzahl.");
        damaged("negativ", "-3\n1 2 3\n", " enthält eine negative Notenanzahl.");
        // Junk from the seed, after a byte that no count begins with.
        QByteArray junk(1, '\xff');
        const int junkSize = random_.between(1, 600);
        for (int i = 0; i < junkSize; ++i) {
            junk += static_cast<char>(random_.below(256));
        }
        damaged("schrott", junk, QString());
        GradeFile huge{writeFile("riesig", "2\n3 1e39\n"), false, {}, kInvalidOpError, {}};
        damagedFiles_.push_back(huge);
    }

    void printLog() const {
        qInfo("seed %llu, the last steps before the failure:",
              static_cast<unsigned long long>(seed_));
        for (const QString& line : log_) {
            qInfo("  %s", qPrintable(line));
        }
    }

    void log(const QString& line) {
        log_.push_back(QStringLiteral("[%1] %2").arg(step_).arg(line));
        while (log_.size() > 30) {
            log_.pop_front();
        }
    }

    const quint64 seed_;
    const int steps_;
    Random random_;
    int step_ = 0;
    int dialogs_ = 0;
    int boxes_ = 0;
    int evaluations_ = 0;
    QTemporaryDir folder_;
    std::vector<GradeFile> goodFiles_;
    std::vector<GradeFile> damagedFiles_;
    std::unique_ptr<noten::GradeStatistics> statistics_;
    std::unique_ptr<noten::TForm1> form_;

    QTimer robot_;
    bool busy_ = false;
    QPointer<QWidget> answered_;
    int closeAttempts_ = 0;
    Run run_;
    std::deque<Answer> forced_;
    QStringList problems_;
    std::deque<QString> log_;
};

class GuiStressTest : public QObject {
    Q_OBJECT

private:
    static void runSession(quint64 seed) {
        const int steps = static_cast<int>(environmentNumber("NOTEN_STRESS_STEPS", kDefaultSteps));
        qInfo("seed %llu, %d steps", static_cast<unsigned long long>(seed), steps);
        StressSession session(seed, steps);
        const QString problem = session.run();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

private slots:
    void initTestCase() {
        qtTestHandler = qInstallMessageHandler(dropSizeHintWarnings);
        noten::setupFloatingPointEnvironment();
        QVERIFY(noten::installGermanTranslations(*qApp));
    }

    void cleanupTestCase() { qInstallMessageHandler(qtTestHandler); }

    void cleanup() { QVERIFY(QApplication::activeModalWidget() == nullptr); }

    // The same session every run, so a change that breaks it is seen at once.
    void fixedSeed() { runSession(kFixedSeed); }

    // A new session every run, or the one NOTEN_STRESS_SEED names.
    void freshSeed() {
        runSession(environmentNumber("NOTEN_STRESS_SEED",
                                     static_cast<quint64>(QDateTime::currentMSecsSinceEpoch())));
    }
};

// Shown numbers follow the German locale whatever the environment says.
int main(int argc, char* argv[]) {
    qputenv("LC_ALL", "de_DE.UTF-8");
    QApplication application(argc, argv);
    GuiStressTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "gui_stress_test.moc"
