#pragma once

#include <string_view>

namespace noten {

// True for "/" or "-" followed by REGSERVER or UNREGSERVER in any case: the program then ends
// at once. "--regserver" or "/regserverx" are ordinary arguments.
bool isRegistrationSwitch(std::string_view argument);

// True when one of argv[1] .. argv[argc - 1] is a registration switch.
bool hasRegistrationSwitch(int argc, const char* const* argv);

}  // namespace noten
