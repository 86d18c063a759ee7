#pragma once

#include <stdexcept>
#include <string>

namespace noten {

// Every failure of the program is one of these, carrying the German text the user sees.
// The error box appends the final period; messages are stored without it.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

// A text that is no valid number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Floating-point faults.
class EMathError : public Exception {
public:
    using Exception::Exception;
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Fehler bei Fließkommaoperation") {}
};

class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Fließkommadivision durch Null") {}
};

class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Überlauf bei Fließkommaoperation") {}
};

// A grade file whose content is missing, malformed or too large to evaluate.
class EGradeFileError : public Exception {
public:
    using Exception::Exception;
};

// The distribution chart refused a write (column or count out of its range).
class EChartError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace noten
