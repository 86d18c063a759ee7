#include "cli/json_text.h"

#include <charconv>
#include <cmath>

namespace noten {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at the start of `text`, or 0 when it is not one
// (stray continuation bytes, overlong forms, surrogates, beyond U+10FFFF, cut short).
std::size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            secondLow = 0xA0;
        } else if (lead == 0xED) {
            secondHigh = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            secondLow = 0x90;
        } else if (lead == 0xF4) {
            secondHigh = 0x8F;
        }
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < secondLow || byte(1) > secondHigh) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string jsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.front());
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
            text.remove_prefix(1);
        } else if (c < 0x20) {
            json += "\\u00";
            json += kHex[c >> 4];
            json += kHex[c & 0xF];
            text.remove_prefix(1);
        } else if (const std::size_t length = utf8SequenceLength(text); length > 0) {
            json += text.substr(0, length);
            text.remove_prefix(length);
        } else {
            json += kReplacementCharacter;
            text.remove_prefix(1);
        }
    }
    json += '"';
    return json;
}

std::string jsonNumber(float value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace noten
