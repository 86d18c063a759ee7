#pragma once

#include "commands/command_context.h"

namespace noten {

// "Noten eingeben": asks for grades one by one in the dialog "Einzelnote" until an entry that
// is 0, empty, cancelled or negative, then computes and shows count, mean, deviation and tally.
// The ending entry never enters the sum, the store or the tally; if it comes first nothing is
// computed or shown. A text that is no number (or too large for a float) is reported through
// `context.errors` and the same grade is asked again; the grades before it stay. After 999
// grades the entry ends as if 0 had been typed.
void enterGrades(CommandContext& context);

}  // namespace noten
