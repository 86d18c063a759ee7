#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "app/application_title.h"

namespace noten {

namespace {

// The window to activate again after the box: the active one, or, right after a dialog closed
// and before the window system has activated anything, the program's visible window.
QWidget* windowToReactivate() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace

void showErrorBox(const QString& message) {
    const QPointer<QWidget> previouslyActive = windowToReactivate();

    QMessageBox box(QMessageBox::Critical, applicationTitle(), message + QLatin1Char('.'),
                    QMessageBox::Ok);
    // The message may quote what the user typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();

    if (previouslyActive) {
        previouslyActive->activateWindow();
    }
}

void showErrorBox(const Exception& error) {
    showErrorBox(QString::fromStdString(error.message()));
}

void releaseMouseGrab() {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
}

}  // namespace noten
