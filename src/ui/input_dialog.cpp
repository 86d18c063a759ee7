#include "ui/input_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QString>
#include <QWindow>

namespace noten {

namespace {

constexpr int kMaxTextLength = 255;

// Layout in dialog units.
constexpr int kClientWidth = 180;
constexpr int kClientHeight = 63;
constexpr int kMargin = 8;
constexpr int kEditTop = 19;
constexpr int kEditWidth = 164;
constexpr int kEditHeight = 12;
constexpr int kButtonTop = 41;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kOkLeft = 38;
constexpr int kCancelLeft = 92;

// Qt's own captions, so they follow the loaded Qt translation; the program is German, so an
// untranslated "Cancel" becomes "Abbrechen".
QString okCaption() {
    return QCoreApplication::translate("QPlatformTheme", "OK");
}

QString cancelCaption() {
    const QString text = QCoreApplication::translate("QPlatformTheme", "Cancel");
    return text == QLatin1String("Cancel") ? QStringLiteral("Abbrechen") : text;
}

// The window the dialog belongs to: the active one, or, when a window that just closed (an
// earlier dialog, an error box) left none active, the program's visible main window.
QWidget* ownerWindow() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() == Qt::Window) {
            return widget;
        }
    }
    return nullptr;
}

// Horizontal dialog unit base in pixels: the width of the 52 letters A-Z a-z divided by 52,
// rounded down. One x unit is a quarter of it.
int dialogBaseX(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(
               QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
           52;
}

// Vertical dialog unit base in pixels: the font height. One y unit is an eighth of it.
int dialogBaseY(const QFont& font) {
    return QFontMetrics(font).height();
}

int unitsToPixels(int units, int base, int perBase) {
    // Rounded to nearest like integer scaling of a positive product.
    return (units * base + perBase / 2) / perBase;
}

}  // namespace

std::string InputDialog::inputText(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText) {
    // Parented to its owner so window managers keep it above the main window; held
    // through QPointer because the parent might destroy it during the nested event loop.
    const QPointer<QWidget> owner = ownerWindow();
    QPointer<QDialog> dialog =
        new QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setObjectName(QStringLiteral("inputTextDialog"));
    dialog->setWindowTitle(QString::fromStdString(caption));
    dialog->setWindowModality(Qt::ApplicationModal);

    const QFont font = dialog->font();
    const int baseX = dialogBaseX(font);
    const int baseY = dialogBaseY(font);
    const auto x = [baseX](int units) { return unitsToPixels(units, baseX, 4); };
    const auto y = [baseY](int units) { return unitsToPixels(units, baseY, 8); };

    auto* label = new QLabel(QString::fromStdString(prompt), dialog);
    label->setObjectName(QStringLiteral("inputTextPrompt"));
    label->setTextFormat(Qt::PlainText);
    label->move(x(kMargin), y(kMargin));
    label->adjustSize();

    auto* edit = new QLineEdit(dialog);
    edit->setObjectName(QStringLiteral("inputTextEdit"));
    edit->setMaxLength(kMaxTextLength);
    edit->setText(QString::fromStdString(defaultText));
    edit->selectAll();
    edit->setGeometry(x(kMargin), y(kEditTop), x(kEditWidth), y(kEditHeight));
    label->setBuddy(edit);

    auto* okButton = new QPushButton(okCaption(), dialog);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    okButton->setGeometry(x(kOkLeft), y(kButtonTop), x(kButtonWidth), y(kButtonHeight));
    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);

    auto* cancelButton = new QPushButton(cancelCaption(), dialog);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(x(kCancelLeft), y(kButtonTop), x(kButtonWidth), y(kButtonHeight));
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);

    // Fixed client size, the whole window centred on the screen. The frame is known once the
    // native window exists; an explicit position also keeps QDialog from centring it over its
    // parent instead.
    const QSize clientSize(x(kClientWidth), y(kClientHeight));
    dialog->setFixedSize(clientSize);
    dialog->winId();
    const QMargins frame =
        dialog->windowHandle() != nullptr ? dialog->windowHandle()->frameMargins() : QMargins();
    const QSize frameSize = clientSize.grownBy(frame);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        dialog->move(available.x() + (available.width() - frameSize.width()) / 2,
                     available.y() + (available.height() - frameSize.height()) / 2);
    }
    edit->setFocus();

    const bool accepted = dialog->exec() == QDialog::Accepted;
    std::string result = defaultText;
    if (dialog) {
        if (accepted) {
            result = edit->text().toStdString();
        }
        delete dialog;
    }
    // Keyboard input goes back to the window the user came from, whatever the window system
    // picks once the dialog is gone.
    if (owner) {
        owner->activateWindow();
    }
    return result;
}

}  // namespace noten
