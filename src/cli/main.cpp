#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "locale/decimal_separator.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return noten::runCli(arguments, stdin, std::cout, std::cerr, noten::systemDecimalSeparator());
}
