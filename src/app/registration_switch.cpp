#include "app/registration_switch.h"

#include <algorithm>

namespace noten {

namespace {

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view upperCase) {
    return std::ranges::equal(text, upperCase, [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
    });
}

}  // namespace

bool isRegistrationSwitch(std::string_view argument) {
    if (argument.empty() || (argument.front() != '/' && argument.front() != '-')) {
        return false;
    }
    const std::string_view name = argument.substr(1);
    return equalsIgnoringAsciiCase(name, "REGSERVER") ||
           equalsIgnoringAsciiCase(name, "UNREGSERVER");
}

bool hasRegistrationSwitch(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] != nullptr && isRegistrationSwitch(argv[i])) {
            return true;
        }
    }
    return false;
}

}  // namespace noten
