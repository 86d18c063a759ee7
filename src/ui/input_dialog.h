#pragma once

#include <string>

#include "commands/interfaces.h"

namespace noten {

// The modal one-line input dialog of the window program: caption in the title bar, the prompt
// above an edit field, buttons "OK" (Enter) and "Abbrechen" (Esc). A new dialog is built for
// every call and destroyed before the call returns. Object names for tests: "inputTextDialog",
// "inputTextPrompt", "inputTextEdit", "okButton", "cancelButton".
class InputDialog : public TextInput {
public:
    // Shows the dialog application-modally, centred on the primary screen, with `defaultText`
    // in the field and selected (at most 255 characters). OK returns the field's text; Cancel,
    // Esc and the close box return `defaultText` unchanged. All texts are UTF-8.
    std::string inputText(const std::string& caption, const std::string& prompt,
                          const std::string& defaultText) override;
};

}  // namespace noten
