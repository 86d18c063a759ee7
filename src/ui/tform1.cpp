#include "ui/tform1.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "app/error_box.h"
#include "chart/distribution_chart.h"
#include "commands/file_evaluation.h"
#include "commands/interactive_entry.h"
#include "commands/result_display.h"
#include "locale/decimal_separator.h"
#include "ui/tooltip_style.h"

namespace noten {

namespace {

constexpr int kTooltipDuration = 2500;
const QColor kAqua(0, 255, 255);
const QColor kYellow(255, 255, 0);

QFont sansSerif(int pixelSize) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

// A caption that sizes itself to its text, drawn on the window's background.
QLabel* makeCaption(QWidget* parent, const QString& text, int left, int top, int pixelSize) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(sansSerif(pixelSize));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A fixed yellow result box, text centred at its top.
QLabel* makeResultField(QWidget* parent, const QString& text, int top,
                        const QString& accessibleName) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(sansSerif(19));
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kYellow);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->setGeometry(8, top, 73, 25);
    label->setAccessibleName(accessibleName);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& caption, const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    // Enter on the focused button clicks it, as Space does.
    button->setAutoDefault(true);
    button->setGeometry(geometry);
    button->setAccessibleName(caption);
    return button;
}

void setHint(QWidget* control, const QString& hint) {
    control->setToolTip(hint);
    control->setToolTipDuration(kTooltipDuration);
}

}  // namespace

TForm1::TForm1(GradeStatistics& statistics, QWidget* parent)
    : QWidget(parent),
      tooltipStyle_(new TooltipStyle()),
      statistics_(statistics),
      decimalSeparator_(systemDecimalSeparator()) {
    // Parented first, so it is destroyed before the controls that use it (they hold it
    // through guarded pointers).
    tooltipStyle_->setParent(this);

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Notenstatistik"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kAqua);
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(sansSerif(11));
    // The client area that holds the controls at their places; the window opens here.
    resize(400, 274);
    move(210, 114);

    Label1 = makeCaption(this, QStringLiteral("Mittelwert"), 6, 11, 16);
    Label2 = makeCaption(this, QStringLiteral("Abweichung"), 8, 73, 13);
    Label3 = makeCaption(this, QStringLiteral("Anzahl"), 8, 152, 16);
    Label4 = makeResultField(this, QStringLiteral("Label4"), 32, QStringLiteral("Mittelwert"));
    Label5 = makeResultField(this, QStringLiteral("Label5"), 96, QStringLiteral("Abweichung"));
    Label6 = makeResultField(this, QStringLiteral("Label6"), 176, QStringLiteral("Anzahl"));
    Button1 = makeButton(this, QStringLiteral("Noten eingeben"), QRect(9, 239, 104, 25));
    Button2 = makeButton(this, QStringLiteral("Quit"), QRect(313, 239, 75, 25));
    VCF = new DistributionChart(this);
    VCF->setGeometry(92, 13, 293, 212);
    VCF->setFocusPolicy(Qt::NoFocus);
    VCF->setAccessibleName(QStringLiteral("Notenverteilung"));
    Button3 = makeButton(this, QStringLiteral("Datei auswerten"), QRect(123, 237, 94, 25));
    Button4 = makeButton(this, QStringLiteral("Clear"), QRect(227, 237, 75, 25));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4->setObjectName(QStringLiteral("Label4"));
    Label5->setObjectName(QStringLiteral("Label5"));
    Label6->setObjectName(QStringLiteral("Label6"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    VCF->setObjectName(QStringLiteral("VCF"));
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4->setObjectName(QStringLiteral("Button4"));
    Label1->setAccessibleName(Label1->text());
    Label2->setAccessibleName(Label2->text());
    Label3->setAccessibleName(Label3->text());

    setHint(Label4, QStringLiteral("wird doch berechnet!"));
    setHint(Label6, QStringLiteral("zählt das Programm"));
    setHint(Button1, QStringLiteral("Einzelnoten eingeben, Berechnung nach Eingabe von 0"));
    setHint(Button2, QStringLiteral("Programm beenden"));
    setHint(VCF, QStringLiteral("Notenverteilung"));

    // Qt asks the style of the widget under the pointer for the tooltip delay.
    setStyle(tooltipStyle_);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setStyle(tooltipStyle_);
    }

    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    Button1->setFocus();

    for (QPushButton* button : {Button1, Button2, Button3, Button4}) {
        button->installEventFilter(this);
    }
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);

    FormCreate();
}

void TForm1::showMean(const std::string& text) {
    Label4->setText(QString::fromStdString(text));
}

void TForm1::showDeviation(const std::string& text) {
    Label5->setText(QString::fromStdString(text));
}

void TForm1::showCount(const std::string& text) {
    Label6->setText(QString::fromStdString(text));
}

void TForm1::setChartPoint(int column, const std::string& text) {
    VCF->setChartPoint(column, text);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        handleEventError([this] { decimalSeparator_ = systemDecimalSeparator(); });
    }
    QWidget::changeEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                          Qt::AltModifier)) != Qt::NoModifier) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::Button2Click() {
    handleEventError([this] { close(); });
}

void TForm1::Button1Click() {
    handleEventError([this] {
        CommandContext context = commandContext();
        enterGrades(context);
    });
}

void TForm1::FormCreate() {
    handleEventError([this] { blankResults(*this); });
}

void TForm1::Button3Click() {
    handleEventError([this] {
        CommandContext context = commandContext();
        evaluateFromFile(context);
    });
}

void TForm1::Button4Click() {
    handleEventError([this] { clearResults(*this); });
}

CommandContext TForm1::commandContext() {
    return CommandContext{statistics_, input_, *this, errors_, decimalSeparator_};
}

}  // namespace noten
