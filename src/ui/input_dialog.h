#pragma once

#include <string>

#include "commands/interfaces.h"

class QFont;

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

    // Horizontal dialog unit base of `font` in pixels: the width of the 52 letters A-Z a-z
    // divided by 52, rounded down. One x unit is a quarter of it.
    static int dialogBaseX(const QFont& font);
    // Vertical dialog unit base of `font` in pixels: the font height. One y unit is an eighth.
    static int dialogBaseY(const QFont& font);
    // `units` dialog units converted to pixels for a base of `base` pixels per `perBase` units,
    // rounded to nearest.
    static int unitsToPixels(int units, int base, int perBase);
};

}  // namespace noten
