#include "commands/grade_reader.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <string>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "stats/grade_statistics.h"

namespace noten {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr int kEndOfData = -1;
constexpr int kCarriageReturn = 13;
constexpr int kCtrlZ = 26;

// A correctly rounded double needs at most 767 significant digits to be decided; digits beyond
// this many only tell whether the value lies above the kept ones.
constexpr std::size_t kSignificantDigits = 800;
// Far beyond every exponent that still gives a finite, non-zero double.
constexpr std::int64_t kExponentLimit = 100000;
// Saturation of a written exponent; digit counts need none, they are bounded by the data.
constexpr std::int64_t kWrittenExponentLimit = 1'000'000'000'000'000;
// Longest token quoted in an error message before it is cut.
constexpr std::size_t kQuotedTokenLength = 20;

bool isWhitespace(int c) {
    return c == ' ' || (c >= 9 && c <= 13);
}

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// Saturating accumulation, so a token of any length cannot overflow.
std::int64_t appendDigit(std::int64_t value, int digit, std::int64_t limit) {
    return value >= limit / 10 ? limit : value * 10 + digit;
}

std::string quoted(const std::string& name) {
    return "'" + name + "'";
}

}  // namespace

struct GradeReader::Impl {
    std::FILE* file = nullptr;
    bool ownsFile = false;
    std::string name;
    std::vector<char> buffer;
    std::size_t position = 0;
    std::size_t length = 0;
    bool ended = false;  // end of file, Ctrl-Z, or nothing open

    void reset() {
        if (file != nullptr && ownsFile) {
            std::fclose(file);
        }
        file = nullptr;
        ownsFile = false;
        position = 0;
        length = 0;
        ended = true;
    }

    // Reads the next chunk. Returns false on a read error (the data then counts as ended).
    bool fill() {
        if (buffer.size() != kChunkSize) {
            buffer.resize(kChunkSize);
        }
        position = 0;
        length = std::fread(buffer.data(), 1, buffer.size(), file);
        if (length == 0) {
            ended = true;
            return std::ferror(file) == 0;
        }
        return true;
    }

    // The next character of the data (0 to 255), or kEndOfData. Carriage returns are dropped
    // and the first Ctrl-Z ends the data for good.
    int peek() {
        while (true) {
            if (position < length) {
                const int c = static_cast<unsigned char>(buffer[position]);
                if (c == kCarriageReturn) {
                    ++position;
                    continue;
                }
                if (c == kCtrlZ) {
                    ended = true;
                    length = position;
                    return kEndOfData;
                }
                return c;
            }
            if (ended || file == nullptr) {
                return kEndOfData;
            }
            if (!fill()) {
                throw EGradeFileError(quoted(name) + " lässt sich nicht lesen");
            }
        }
    }

    void advance() { ++position; }

    void skipWhitespace() {
        while (isWhitespace(peek())) {
            advance();
        }
    }

    // Reads the rest of a malformed token so it can be quoted: at most a little more than
    // fits the message, bytes that are not printable ASCII shown as '?'.
    [[noreturn]] void throwInvalidGrade(std::string token, std::int32_t gradePosition) {
        for (int c = peek();
             c != kEndOfData && !isWhitespace(c) && token.size() <= kQuotedTokenLength;
             c = peek()) {
            token.push_back(static_cast<char>(c));
            advance();
        }
        std::string shown;
        for (const char c : token.substr(0, kQuotedTokenLength)) {
            shown.push_back(c >= 0x20 && c < 0x7f ? c : '?');
        }
        if (token.size() > kQuotedTokenLength) {
            shown += "…";
        }
        throw EGradeFileError(quoted(name) + ": Note " + std::to_string(gradePosition) + " ('" +
                              shown + "') ist keine gültige Zahl");
    }
};

GradeReader::GradeReader() : impl_(std::make_unique<Impl>()) {
    impl_->ended = true;
}

GradeReader::~GradeReader() {
    impl_->reset();
}

bool GradeReader::open(const std::string& path) {
    impl_->reset();
    impl_->name = path;
    if (path.find('\0') != std::string::npos) {
        return false;  // the C library would silently open a different, shorter name
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    impl_->file = file;
    impl_->ownsFile = true;
    impl_->ended = false;
    // A directory opens on Linux and only fails when read, so read the first chunk now.
    if (!impl_->fill()) {
        impl_->reset();
        return false;
    }
    return true;
}

void GradeReader::attach(std::FILE* stream, const std::string& name) {
    impl_->reset();
    impl_->name = name;
    impl_->file = stream;
    impl_->ownsFile = false;
    impl_->ended = stream == nullptr;
}

std::int32_t GradeReader::readCount() {
    Impl& in = *impl_;
    const std::string invalid = quoted(in.name) + " enthält keine gültige Notenanzahl";
    in.skipWhitespace();
    bool negative = false;
    int c = in.peek();
    if (c == '+' || c == '-') {
        negative = c == '-';
        in.advance();
        c = in.peek();
    }
    // Anything above the store's size is refused, so saturating just past it is enough.
    constexpr std::int64_t kSaturation = std::int64_t{1} << 40;
    std::int64_t value = 0;
    bool anyDigit = false;
    for (; isDigit(c); c = in.peek()) {
        value = appendDigit(value, c - '0', kSaturation);
        anyDigit = true;
        in.advance();
    }
    if (!anyDigit || (c != kEndOfData && !isWhitespace(c))) {
        throw EGradeFileError(invalid);
    }
    if (value == 0) {
        throw EGradeFileError(quoted(in.name) + " enthält keine Noten");
    }
    if (negative) {
        throw EGradeFileError(quoted(in.name) + " enthält eine negative Notenanzahl");
    }
    if (value > kGradeStoreSize) {
        throw EGradeFileError(quoted(in.name) + " enthält mehr als " +
                              std::to_string(kGradeStoreSize) + " Noten");
    }
    return static_cast<std::int32_t>(value);
}

float GradeReader::readGrade(std::int32_t position, std::int32_t announcedCount) {
    Impl& in = *impl_;
    in.skipWhitespace();
    int c = in.peek();
    if (c == kEndOfData) {
        throw EGradeFileError(quoted(in.name) + " enthält nur " + std::to_string(position - 1) +
                              " von " + std::to_string(announcedCount) + " Noten");
    }

    // The value is kept as 0.<digits> x 10^exponent: leading zeros dropped, at most
    // kSignificantDigits digits kept, and `inexact` set when a dropped digit was not 0.
    std::string token;  // the raw characters taken, for the error message only
    const auto take = [&]() {
        if (token.size() <= kQuotedTokenLength) {
            token.push_back(static_cast<char>(c));
        }
        in.advance();
        c = in.peek();
    };
    std::string digits;
    bool inexact = false;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    const auto keepDigit = [&]() {
        if (digits.size() < kSignificantDigits) {
            digits.push_back(static_cast<char>(c));
        } else if (c != '0') {
            inexact = true;
        }
    };

    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        take();
    }
    for (; isDigit(c); take()) {
        anyDigit = true;
        if (digits.empty() && c == '0') {
            continue;
        }
        keepDigit();
        ++exponent;
    }
    if (c == '.') {
        take();
        for (; isDigit(c); take()) {
            anyDigit = true;
            if (digits.empty() && c == '0') {
                --exponent;
                continue;
            }
            keepDigit();
        }
    }
    if (!anyDigit) {
        in.throwInvalidGrade(token, position);
    }
    if (c == 'e' || c == 'E') {
        take();
        bool negativeExponent = false;
        if (c == '+' || c == '-') {
            negativeExponent = c == '-';
            take();
        }
        if (!isDigit(c)) {
            in.throwInvalidGrade(token, position);
        }
        std::int64_t written = 0;
        for (; isDigit(c); take()) {
            written = appendDigit(written, c - '0', kWrittenExponentLimit);
        }
        exponent += negativeExponent ? -written : written;
    }
    if (c != kEndOfData && !isWhitespace(c)) {
        in.throwInvalidGrade(token, position);
    }

    if (digits.empty()) {
        return negative ? -0.0f : 0.0f;
    }
    if (inexact) {
        digits.push_back('1');
    }
    exponent = std::clamp(exponent, -kExponentLimit, kExponentLimit);
    const std::string canonical = "0." + digits + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto result =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // 0.<digits> with a non-zero first digit is at least 1 exactly when exponent > 0.
        value = exponent > 0 ? static_cast<double>(FLT_MAX) : 0.0;
    } else if (result.ec != std::errc{}) {
        in.throwInvalidGrade(token, position);
    }
    value = std::min(value, static_cast<double>(FLT_MAX));
    const float grade = static_cast<float>(value);
    return negative ? -grade : grade;
}

void GradeReader::close() {
    impl_->reset();
}

bool GradeReader::isOpen() const {
    return impl_->file != nullptr;
}

const std::string& GradeReader::name() const {
    return impl_->name;
}

}  // namespace noten
