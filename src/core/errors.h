#pragma once

#include <exception>
#include <string>
#include <utility>

namespace noten {

// Every failure of the program is one of these, carrying the German text the user sees.
// The error box appends the final period; messages are stored without it.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    // The whole message, also when it holds a NUL byte (what() would stop there).
    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
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
