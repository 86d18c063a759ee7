// A grade file's bytes through the reader and the whole evaluation: either a result whose count
// is the announced count and whose tally sums to at most the count, or one of the defined errors.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>

#include "commands/file_evaluation.h"
#include "commands/grade_reader.h"
#include "core/errors.h"
#include "stats/grade_statistics.h"

namespace {

bool isWhitespace(unsigned char c) {
    return c == ' ' || (c >= 9 && c <= 13);
}

// The count token read independently: the first whitespace-separated token of the text-mode
// data, if it is a decimal number from 1 to 1000.
std::optional<int> announcedCount(const std::uint8_t* data, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size && data[i] != 26; ++i) {
        if (data[i] != '\r') {
            text += static_cast<char>(data[i]);
        }
    }
    std::size_t start = 0;
    while (start < text.size() && isWhitespace(text[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < text.size() && !isWhitespace(text[end])) {
        ++end;
    }
    std::string token = text.substr(start, end - start);
    if (!token.empty() && token[0] == '-') {
        return std::nullopt;  // negative or zero
    }
    if (!token.empty() && token[0] == '+') {
        token.erase(0, 1);
    }
    if (token.empty() || token.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const std::size_t digits = token.find_first_not_of('0');
    if (digits == std::string::npos || token.size() - digits > 4) {
        return std::nullopt;
    }
    const int count = std::stoi(token.substr(digits));
    if (count < 1 || count > 1000) {
        return std::nullopt;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;  // fmemopen refuses an empty buffer on some C libraries
    }
    noten::GradeStatistics statistics;
    {
        noten::GradeReader reader;
        reader.attach(file, "fuzz.txt");
        try {
            noten::evaluateGradeFile(reader, statistics);
            const std::optional<int> announced = announcedCount(data, size);
            const int tallied =
                std::accumulate(statistics.gradeTally.begin() + 1, statistics.gradeTally.end(), 0);
            if (!announced || statistics.gradeCount != *announced ||
                tallied > statistics.gradeCount || tallied < 0) {
                std::fprintf(stderr, "count %d, announced %d, tallied %d\n", statistics.gradeCount,
                             announced.value_or(-1), tallied);
                std::abort();
            }
        } catch (const noten::EGradeFileError&) {
        } catch (const noten::EMathError&) {
        }
    }
    std::fclose(file);
    return 0;
}
