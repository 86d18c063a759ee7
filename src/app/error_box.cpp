#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "app/application_title.h"

namespace noten {

void showErrorBox(const QString& message) {
    const QPointer<QWidget> previouslyActive = QApplication::activeWindow();

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
