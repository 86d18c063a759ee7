// Answers the modal windows that a handler opens in its nested event loop.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace testing_gui {

// Calls `answer` with the first modal widget of type T to appear, polling every 10 ms for up to
// 5 s, so that a broken test fails instead of hanging.
template <typename T>
void whenModal(std::function<void(T*)> answer, int triesLeft = 500, int delay = 0) {
    QTimer::singleShot(delay, [answer, triesLeft] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        if (widget != nullptr && widget->isVisible()) {
            answer(widget);
        } else if (triesLeft > 0) {
            whenModal<T>(answer, triesLeft - 1, 10);
        }
    });
}

// What an error box showed before it was confirmed.
struct SeenBox {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton*>::size_type buttonCount = 0;
    bool okButton = false;
    Qt::TextFormat textFormat = Qt::AutoText;
    Qt::WindowModality modality = Qt::NonModal;
};

// Records the next message box and confirms it with its OK button.
inline void confirmNextBox(SeenBox& seen) {
    whenModal<QMessageBox>([&seen](QMessageBox* box) {
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttonCount = box->buttons().size();
        seen.okButton = box->button(QMessageBox::Ok) != nullptr;
        seen.textFormat = box->textFormat();
        seen.modality = box->windowModality();
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->reject();
        }
    });
}

}  // namespace testing_gui
