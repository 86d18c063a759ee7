#pragma once

#include <QString>
#include <exception>
#include <utility>

#include "core/errors.h"

namespace noten {

// Shows `message` followed by "." in a modal stop box with one OK button, captioned with the
// application title. All other windows take no input meanwhile; the window that was active
// before is activated again afterwards. Returns when the user has confirmed.
void showErrorBox(const QString& message);
void showErrorBox(const Exception& error);

// Ends a mouse grab that an interrupted handler may have left behind.
void releaseMouseGrab();

// Runs `handler`. An error escaping it is shown with showErrorBox and goes no further, so
// no exception ever crosses Qt's event loop. Every event handler of the program runs here.
template <typename Handler>
void handleEventError(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const Exception& error) {
        releaseMouseGrab();
        showErrorBox(error);
    } catch (const std::exception& error) {
        // Not a failure of the program's own: shown with the library's text.
        releaseMouseGrab();
        showErrorBox(QString::fromLocal8Bit(error.what()));
    }
}

}  // namespace noten
