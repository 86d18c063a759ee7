#include "app/error_box_reporter.h"

#include "app/error_box.h"

namespace noten {

void ErrorBoxReporter::showError(const Exception& error) {
    showErrorBox(error);
}

}  // namespace noten
