#pragma once

#include "commands/interfaces.h"

namespace noten {

// Reports the errors of an evaluation command in the error box.
class ErrorBoxReporter : public ErrorReporter {
public:
    void showError(const Exception& error) override;
};

}  // namespace noten
