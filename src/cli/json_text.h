#pragma once

#include <string>
#include <string_view>

namespace noten {

// `text` as a JSON string literal, quotes included: '"' and '\' escaped, control characters
// as \u00XX, and every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string jsonString(std::string_view text);

// The shortest decimal that reads back as the same float, as a JSON number.
// The value must be finite (JSON has no infinities or NaN).
std::string jsonNumber(float value);

}  // namespace noten
