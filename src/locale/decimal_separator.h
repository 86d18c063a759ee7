#pragma once

namespace noten {

// The decimal separator of the system locale (on Unix the one named by LC_ALL, LC_NUMERIC or
// LANG, from Qt's own locale data, so it works without C library locale files): its first
// character, or '.' when it has none or it is not a single ASCII character.
char systemDecimalSeparator();

}  // namespace noten
