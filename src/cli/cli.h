#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace noten {

// notenstatistik-cli [--json] FILE...: evaluates each grade file in order, each with fresh
// statistics, "-" meaning `standardInput`. `arguments` excludes the program name. Results go
// to `out` (one line per file); in text mode failures go to `err`, in JSON mode they are
// objects on `out`. Returns 0 when every file was evaluated, 1 when at least one failed,
// 2 for a usage error.
int runCli(const std::vector<std::string>& arguments, std::FILE* standardInput, std::ostream& out,
           std::ostream& err, char decimalSeparator);

}  // namespace noten
