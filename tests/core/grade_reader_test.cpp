#include "commands/grade_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"

namespace noten {
namespace {

namespace fs = std::filesystem;

std::uint32_t bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

std::size_t openDescriptorCount() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "grade-reader-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TemporaryFolder() { fs::remove_all(path_); }

    std::string write(const std::string& name, const std::string& content) const {
        const fs::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }
    fs::path path() const { return path_; }

private:
    fs::path path_;
};

// What reading a whole file gives: the grades, or the message of the refusal with the path
// shown as "klasse.txt".
struct Outcome {
    std::vector<float> grades;
    std::string error;
};

Outcome readAll(GradeReader& reader) {
    Outcome outcome;
    try {
        const std::int32_t count = reader.readCount();
        for (std::int32_t i = 0; i < count; ++i) {
            outcome.grades.push_back(reader.readGrade(i + 1, count));
        }
    } catch (const EGradeFileError& error) {
        outcome.error = error.message();
    }
    return outcome;
}

Outcome readFile(const TemporaryFolder& folder, const std::string& content) {
    const std::string path = folder.write("klasse.txt", content);
    GradeReader reader;
    if (!reader.open(path)) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    Outcome outcome = readAll(reader);
    for (std::size_t at; (at = outcome.error.find(path)) != std::string::npos;) {
        outcome.error.replace(at, path.size(), "klasse.txt");
    }
    return outcome;
}

struct Case {
    std::string content;
    std::vector<float> grades;
    std::string error;  // empty when the file is read
};

void expectCases(const std::vector<Case>& cases) {
    TemporaryFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE("content \"" + c.content + "\"");
        const Outcome outcome = readFile(folder, c.content);
        EXPECT_EQ(outcome.error, c.error);
        if (c.error.empty()) {
            ASSERT_EQ(outcome.grades.size(), c.grades.size());
            for (std::size_t i = 0; i < c.grades.size(); ++i) {
                EXPECT_EQ(bits(outcome.grades[i]), bits(c.grades[i]))
                    << "grade " << i + 1 << ": " << outcome.grades[i] << " != " << c.grades[i];
            }
        }
    }
}

const std::string kNoCount = "'klasse.txt' enthält keine gültige Notenanzahl";
const std::string kNoGrades = "'klasse.txt' enthält keine Noten";
const std::string kNegative = "'klasse.txt' enthält eine negative Notenanzahl";
const std::string kTooMany = "'klasse.txt' enthält mehr als 1000 Noten";

std::string notANumber(int position, const std::string& token) {
    return "'klasse.txt': Note " + std::to_string(position) + " ('" + token +
           "') ist keine gültige Zahl";
}

TEST(GradeReaderCount, OnlyAWholeDecimalTokenFrom1To1000IsACount) {
    expectCases({
        {"3 1 2 3", {1, 2, 3}, ""},
        {"+2 1 2", {1, 2}, ""},
        {"010 1 2 3 4 5 6 7 8 9 10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, ""},  // ten, not octal
        {"\t\n\v\f\r 1\n5", {5}, ""},
        {"", {}, kNoCount},
        {" \n\t ", {}, kNoCount},
        {"\x1a"
         "3 1 2 3",
         {},
         kNoCount},
        {"drei 1 2 3", {}, kNoCount},
        {"2.5 1 2", {}, kNoCount},
        {"0x10 1", {}, kNoCount},
        {"3x 1 2 3", {}, kNoCount},
        {"3,0 1 2 3", {}, kNoCount},
        {"+ 3 1 2 3", {}, kNoCount},
        {"- 3", {}, kNoCount},
        {std::string("3\0 1 2 3", 8), {}, kNoCount},
        {"0", {}, kNoGrades},
        {"000 1", {}, kNoGrades},
        {"-0", {}, kNoGrades},
        {"-3 1 2 3", {}, kNegative},
        {"-99999999999", {}, kNegative},
        {"1001", {}, kTooMany},
        {"4294967298 1 2", {}, kTooMany},  // would be 2 in 32 bits
        {"99999999999", {}, kTooMany},
        {"99999999999999999999999999999999999999", {}, kTooMany},
    });
}

TEST(GradeReaderGrade, AcceptsSignedDecimalsWithPointAndExponent) {
    expectCases({
        {"8 2.5 2.50 +2.5 25e-1 0.25E+1 .25e1 2.5e0 0000002.5",
         {2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5},
         ""},
        {"4 5. .5 -1 -0", {5.0f, 0.5f, -1.0f, -0.0f}, ""},
        {"3 0.1 1.4 6.49", {0.1f, 1.4f, 6.49f}, ""},
        // Limited to the float range instead of becoming infinite.
        {"4 1e39 -1e39 3.4028235e38 1e400", {FLT_MAX, -FLT_MAX, FLT_MAX, FLT_MAX}, ""},
        // Too small for a float: zero, or the nearest denormal.
        {"3 1e-50 -1e-400 1e-40", {0.0f, -0.0f, 1e-40f}, ""},
    });
}

TEST(GradeReaderGrade, RefusesMalformedTokensNamingPositionAndToken) {
    expectCases({
        {"2 2,5 3,5", {}, notANumber(1, "2,5")},
        {"3 1 2 x", {}, notANumber(3, "x")},
        {"2 1 2garbage", {}, notANumber(2, "2garbage")},
        {"1 .", {}, notANumber(1, ".")},
        {"1 +", {}, notANumber(1, "+")},
        {"1 -.e5", {}, notANumber(1, "-.e5")},
        {"1 e5", {}, notANumber(1, "e5")},
        {"1 1e", {}, notANumber(1, "1e")},
        {"1 1e+", {}, notANumber(1, "1e+")},
        {"1 1.2.3", {}, notANumber(1, "1.2.3")},
        {"1 1e5.5", {}, notANumber(1, "1e5.5")},
        {"1 --1", {}, notANumber(1, "--1")},
        {"1 0x10", {}, notANumber(1, "0x10")},
        {"1 inf", {}, notANumber(1, "inf")},
        {"1 nan", {}, notANumber(1, "nan")},
        // Bytes that are not printable ASCII cannot break the message.
        {std::string("1 2\0", 4), {}, notANumber(1, "2?")},
        {std::string("1 \0\x01\xff", 5), {}, notANumber(1, "???")},
        {"1 2,ä", {}, notANumber(1, "2,??")},
        // Long tokens are cut.
        {"1 1234567890123456789012345x", {}, notANumber(1, "12345678901234567890…")},
        {"1 12345678901234567890x", {}, notANumber(1, "12345678901234567890…")},
        {"1 1234567890123456789x", {}, notANumber(1, "1234567890123456789x")},
        {"1 12345678901234567890", {12345678901234567890.0f}, ""},  // a long number is fine
    });
}

TEST(GradeReaderGrade, DataEndingEarlyIsRefusedWithTheNumberFound) {
    expectCases({
        {"4\n2 3\n", {}, "'klasse.txt' enthält nur 2 von 4 Noten"},
        {"1\n", {}, "'klasse.txt' enthält nur 0 von 1 Noten"},
        {"3\n1 2\x1a 3", {}, "'klasse.txt' enthält nur 2 von 3 Noten"},
        {"3\n1 2 \n\x1a\n", {}, "'klasse.txt' enthält nur 2 von 3 Noten"},
    });
}

TEST(GradeReaderText, WhitespaceCarriageReturnsCtrlZAndTrailingData) {
    expectCases({
        {"3\t2.5\v1\f4", {2.5, 1, 4}, ""},
        {"3\r\n2.5\r\n1\r\n4\r\n", {2.5, 1, 4}, ""},
        {"3\n2.5\n1\n4\n", {2.5, 1, 4}, ""},
        // Carriage returns are dropped wherever they stand, even inside a token.
        {"1\r\n2\r.\r5", {2.5}, ""},
        // The first Ctrl-Z ends the data; nothing after it is looked at.
        {"2 1 2\x1a"
         "garbage",
         {1, 2},
         ""},
        {"1 2.5\x1a"
         "0",
         {2.5},
         ""},
        // Whatever follows the last announced grade is never read.
        {"2 1 2 drei 2,5", {1, 2}, ""},
        {std::string("2 1 2\n\0\xff", 8), {1, 2}, ""},
    });
}

TEST(GradeReaderText, TokensAcrossChunkBoundariesReadWhole) {
    TemporaryFolder folder;
    constexpr std::size_t kChunk = 64 * 1024;
    for (std::size_t padding = kChunk - 8; padding <= kChunk + 2; ++padding) {
        SCOPED_TRACE("padding " + std::to_string(padding));
        std::string content = "2" + std::string(padding - 1, ' ') + "2.25e0\r\n3.5";
        const Outcome outcome = readFile(folder, content);
        EXPECT_EQ(outcome.error, "");
        ASSERT_EQ(outcome.grades.size(), 2u);
        EXPECT_EQ(outcome.grades[0], 2.25f);
        EXPECT_EQ(outcome.grades[1], 3.5f);
    }
}

TEST(GradeReaderGrade, VeryLongDigitStringsKeepTheirExactValue) {
    const std::string zeros(100000, '0');
    expectCases({
        {"1 1" + zeros + "e-100000", {1.0f}, ""},
        {"1 0." + zeros + "25e100001", {2.5f}, ""},
        {"1 " + zeros + "3.75", {3.75f}, ""},
        {"1 1" + zeros, {FLT_MAX}, ""},
        {"1 0." + zeros + "1", {0.0f}, ""},
        {"1 0.5" + zeros + "1", {0.5f}, ""},
        {"1 1e99999999999999999999999", {FLT_MAX}, ""},
        {"1 1e-99999999999999999999999", {0.0f}, ""},
    });
}

// Around 1 + 2^-24 + 2^-53, halfway between two doubles whose lower one is halfway between
// the floats 1 and 1 + 2^-23: which float comes out depends on the double in between and so
// on every digit, up to the thousandth.
TEST(GradeReaderGrade, RoundsToDoubleFirstThenToFloat) {
    const std::string halfway = "1.00000005960464488641292746251565404236316680908203125";
    const std::string below = "1.00000005960464488641292746251565404236316680908203124";
    const float above = std::nextafter(1.0f, 2.0f);
    expectCases({
        // Ties to even in double gives 1 + 2^-24, then ties to even in float gives 1.
        {"1 " + halfway, {1.0f}, ""},
        {"1 " + halfway + std::string(900, '0') + "1", {above}, ""},
        {"1 " + halfway + std::string(600, '0') + "1", {above}, ""},
        {"1 " + below + std::string(900, '9'), {1.0f}, ""},
    });
}

// The grade grammar once more, put differently: [+-]? (digits [. digits] | . digits)
// ([eE] [+-]? digits)?, with at least one mantissa digit.
bool inGradeGrammar(std::string_view text) {
    const auto skipDigits = [&text]() {
        std::size_t count = 0;
        while (count < text.size() && text[count] >= '0' && text[count] <= '9') {
            ++count;
        }
        text.remove_prefix(count);
        return count;
    };
    const auto skipOne = [&text](std::string_view characters) {
        const bool found = !text.empty() && characters.find(text.front()) != std::string_view::npos;
        if (found) {
            text.remove_prefix(1);
        }
        return found;
    };
    skipOne("+-");
    std::size_t mantissaDigits = skipDigits();
    if (skipOne(".")) {
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (skipOne("eE")) {
        skipOne("+-");
        if (skipDigits() == 0) {
            return false;
        }
    }
    return text.empty();
}

// The grade rounding against a corpus of decimal strings with their correctly rounded
// doubles: the reader must give that double, limited to the float range, rounded to float.
TEST(GradeReaderGrade, RoundsLikeTheCorrectlyRoundedDoubleThenToFloat) {
    std::size_t checked = 0;
    for (const auto& entry : fs::directory_iterator(NOTEN_TEST_DATA_DIR "/parse-number-fxx")) {
        if (entry.path().extension() != ".txt") {
            continue;
        }
        std::ifstream corpus(entry.path());
        std::string half, single, doubleBits, quad, text;
        while (corpus >> half >> single >> doubleBits >> quad >> text) {
            SCOPED_TRACE(entry.path().filename().string() + ": " + text);
            std::string content = "1 " + text;
            std::FILE* stream = fmemopen(content.data(), content.size(), "r");
            ASSERT_NE(stream, nullptr);
            GradeReader reader;
            reader.attach(stream, "korpus");
            ASSERT_EQ(reader.readCount(), 1);
            if (!inGradeGrammar(text)) {
                EXPECT_THROW(reader.readGrade(1, 1), EGradeFileError);
            } else {
                double exact = std::bit_cast<double>(std::stoull(doubleBits, nullptr, 16));
                exact =
                    std::clamp(exact, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX));
                EXPECT_EQ(bits(reader.readGrade(1, 1)), bits(static_cast<float>(exact)));
            }
            std::fclose(stream);
            ++checked;
        }
    }
    EXPECT_GT(checked, 0u) << "corpus not found";
}

TEST(GradeReaderOpen, RefusesWhatCannotBeReadAndNeverCreates) {
    TemporaryFolder folder;
    const std::string existing = folder.write("klasse.txt", "1 2");
    fs::create_directory(folder.path() / "ordner.txt");
    const std::size_t before = openDescriptorCount();
    GradeReader reader;
    const std::string missing = (folder.path() / "fehlt.txt").string();
    EXPECT_FALSE(reader.open(missing));
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(reader.open((folder.path() / "ordner.txt").string()));
    // Cut at the NUL, the name would be that of an existing file.
    EXPECT_FALSE(reader.open(existing + std::string("\0.txt", 5)));
    EXPECT_FALSE(reader.open(""));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(openDescriptorCount(), before);

    const std::string empty = folder.write("leer.txt", "");
    ASSERT_TRUE(reader.open(empty));
    EXPECT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.name(), empty);
    EXPECT_THROW(reader.readCount(), EGradeFileError);
    reader.close();
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST(GradeReaderOpen, RefusesAFileWithoutReadPermission) {
    TemporaryFolder folder;
    // Only the file's own permission may stand in the way: the folder is open to everyone.
    fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    const std::string path = folder.write("gesperrt.txt", "1 2");
    fs::permissions(path, fs::perms::none);
    // Root may read every file, so the open is tried by an ordinary user in a child process.
    EXPECT_EXIT(
        {
            constexpr uid_t kNobody = 65534;
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
                std::_Exit(2);
            }
            GradeReader reader;
            std::_Exit(reader.open(path) ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(GradeReaderOpen, ClosesTheEarlierFileAndOnDestruction) {
    TemporaryFolder folder;
    const std::string first = folder.write("a.txt", "1 2");
    const std::string second = folder.write("b.txt", "1 3");
    const std::size_t before = openDescriptorCount();
    {
        GradeReader reader;
        ASSERT_TRUE(reader.open(first));
        EXPECT_EQ(openDescriptorCount(), before + 1);
        ASSERT_TRUE(reader.open(second));
        EXPECT_EQ(openDescriptorCount(), before + 1);
        EXPECT_EQ(reader.readCount(), 1);
        EXPECT_EQ(reader.readGrade(1, 1), 3.0f);
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST(GradeReaderAttach, ReadsAStreamAndLeavesItToItsOwner) {
    std::string content = "2 1.5 2.5 rest";
    std::FILE* stream = fmemopen(content.data(), content.size(), "r");
    ASSERT_NE(stream, nullptr);
    {
        GradeReader reader;
        reader.attach(stream, "Standardeingabe");
        EXPECT_EQ(reader.name(), "Standardeingabe");
        const Outcome outcome = readAll(reader);
        EXPECT_EQ(outcome.grades, (std::vector<float>{1.5f, 2.5f}));
    }
    // Still open after the reader is gone: closing it is the owner's job and succeeds.
    EXPECT_EQ(std::fclose(stream), 0);
}

TEST(GradeReaderAttach, MessagesNameTheStreamAsGiven) {
    std::string content = "3\n1 2";
    std::FILE* stream = fmemopen(content.data(), content.size(), "r");
    ASSERT_NE(stream, nullptr);
    GradeReader reader;
    reader.attach(stream, "Standardeingabe");
    EXPECT_EQ(readAll(reader).error, "'Standardeingabe' enthält nur 2 von 3 Noten");
    std::fclose(stream);
}

}  // namespace
}  // namespace noten
