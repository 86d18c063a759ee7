#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace noten {

// Reads one grade file: a count, then that many grades, separated by whitespace (space, tab,
// LF, VT, FF, CR). Carriage returns are dropped and the first Ctrl-Z ends the data. The file
// is opened read-only, never created, read sequentially once in chunks, and closed by close()
// or the destructor. Damaged data is an EGradeFileError naming the file; nothing is made up.
class GradeReader {
public:
    GradeReader();
    ~GradeReader();
    GradeReader(const GradeReader&) = delete;
    GradeReader& operator=(const GradeReader&) = delete;

    // Opens `path` (used exactly as given). Returns false when it cannot be opened or read
    // (missing, a directory, no permission, an invalid name); any earlier file is closed first.
    bool open(const std::string& path);

    // Reads from a stream that stays owned by the caller (standard input), named `name`.
    void attach(std::FILE* stream, const std::string& name);

    // The count token: optional sign, decimal digits only, followed by whitespace or the end.
    // Throws EGradeFileError when it is missing or malformed, negative, 0, or above 1000.
    std::int32_t readCount();

    // Grade `position` (1-based) of `announcedCount`: sign, digits with an optional '.', an
    // optional exponent; followed by whitespace or the end. The exact decimal is rounded to
    // double, limited to the float range and rounded to float. Throws EGradeFileError when
    // the data ends early or the token is malformed.
    float readGrade(std::int32_t position, std::int32_t announcedCount);

    void close();
    bool isOpen() const;
    const std::string& name() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace noten
