#pragma once

#include <string_view>

namespace noten {

// Converts a typed number to the 80-bit extended format, independent of the C library's locale.
//
// Grammar: blanks (only ' ') may lead and trail; an optional sign directly before the number;
// digits, optionally with `decimalSeparator` and more digits (either side may be empty, but not
// both: the separator alone is 0); an optional exponent 'e'/'E', optional sign, digits (none
// means 0), read while its value is below 500, so a further digit after it reached 500 makes the
// text invalid. Nothing else may follow.
//
// The result is the text's exact decimal value rounded once to the extended format (nearest,
// ties to even). Invalid text, or a magnitude beyond the extended range, throws EConvertError
// "'<text>' ist kein gültiger Fließkommawert" with the whole text as given.
long double textToNumber(std::string_view text, char decimalSeparator);

}  // namespace noten
