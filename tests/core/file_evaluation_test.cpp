#include "commands/file_evaluation.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cfloat>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/errors.h"
#include "scripted_front_end.h"

namespace noten {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedFrontEnd;

std::size_t openDescriptorCount() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

// A fresh folder per test, removed afterwards.
class FileEvaluation : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "file-evaluation-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Writes `content` to <folder>/<fileName> and returns <folder>/<stem> for the dialog.
    std::string write(const std::string& fileName, const std::string& content) {
        std::ofstream(folder_ / fileName, std::ios::binary) << content;
        return (folder_ / fileName).string();
    }
    std::string answerFor(const std::string& stem) const { return (folder_ / stem).string(); }

    fs::path folder_;
};

const std::vector<std::string> kGoodResults = {
    "mean=2,5", "deviation=1,2", "count=3",  "chart1=1", "chart2=0",
    "chart3=1", "chart4=1",      "chart5=0", "chart6=0",
};

TEST_F(FileEvaluation, ShowsTheStatisticsOfAGoodFile) {
    write("klasse.txt", "3\n2.5 1 4\n");
    ScriptedFrontEnd front({answerFor("klasse")});
    CommandContext context = front.context(',');
    evaluateFromFile(context);

    ASSERT_EQ(front.questions.size(), 1u);
    EXPECT_EQ(front.questions[0].caption, "Notenstatistik aus Datei");
    EXPECT_EQ(front.questions[0].prompt, "Dateiname (ohne Extension): ");
    EXPECT_EQ(front.questions[0].defaultText, "");
    EXPECT_EQ(front.displayWrites, kGoodResults);
    EXPECT_TRUE(front.errorMessages.empty());
    EXPECT_EQ(front.statistics.gradeCount, 3);
    EXPECT_EQ(front.statistics.currentGrade, 4.0f);
    EXPECT_EQ(front.statistics.gradeMean, 2.5f);
    EXPECT_EQ(front.statistics.gradeSum, 4.5f);  // now the sum of squared differences
}

TEST_F(FileEvaluation, AppendsTheExtensionEvenWhenTheNameHasIt) {
    write("noten.txt", "1\n6\n");
    write("noten.txt.txt", "3\n2.5 1 4\n");
    ScriptedFrontEnd front({answerFor("noten.txt")});
    CommandContext context = front.context(',');
    evaluateFromFile(context);
    EXPECT_EQ(front.displayWrites, kGoodResults);
}

TEST_F(FileEvaluation, AsksAgainWithoutMessageUntilAFileOpens) {
    write("klasse.txt", "3\n2.5 1 4\n");
    fs::create_directory(folder_ / "ordner.txt");
    ScriptedFrontEnd front({
        answerFor("fehlt"),
        answerFor("ordner"),                         // a directory cannot be read
        " " + answerFor("klasse"),                   // the name is not trimmed
        answerFor("klasse") + " ",                   //
        answerFor("klasse") + std::string(1, '\0'),  // a NUL byte cannot name a file
        answerFor("klasse"),
    });
    CommandContext context = front.context(',');
    evaluateFromFile(context);
    EXPECT_EQ(front.questions.size(), 6u);
    for (const auto& question : front.questions) {
        EXPECT_EQ(question.defaultText, "");
    }
    EXPECT_TRUE(front.errorMessages.empty());
    EXPECT_EQ(front.displayWrites, kGoodResults);
    EXPECT_FALSE(fs::exists(folder_ / "fehlt.txt"));
}

TEST_F(FileEvaluation, AnEmptyNameOrCancelEndsWithoutChange) {
    write("klasse.txt", "3\n2.5 1 4\n");
    const std::vector<std::optional<std::string>> endings = {"", ScriptedFrontEnd::kCancel};
    for (const std::optional<std::string>& answer : endings) {
        ScriptedFrontEnd front({answerFor("fehlt"), answer, answerFor("klasse")});
        front.statistics.gradeCount = 2;
        front.statistics.gradeMean = 1.5f;
        front.statistics.gradeSum = 7.0f;
        front.statistics.gradeTally = {0, 1, 1, 0, 0, 0, 0};
        CommandContext context = front.context(',');
        evaluateFromFile(context);
        EXPECT_EQ(front.questions.size(), 2u);
        EXPECT_EQ(front.answersLeft(), 1u);
        EXPECT_TRUE(front.displayWrites.empty());
        EXPECT_EQ(front.statistics.gradeCount, 2);
        EXPECT_EQ(front.statistics.gradeMean, 1.5f);
        EXPECT_EQ(front.statistics.gradeSum, 7.0f);
        EXPECT_EQ(front.statistics.gradeTally[1], 1);
    }
}

TEST_F(FileEvaluation, ExactlyAThousandGradesFit) {
    std::string content = "1000\n";
    for (int i = 0; i < 1000; ++i) {
        content += std::to_string(i % 6 + 1) + (i % 10 == 9 ? "\n" : " ");
    }
    write("gross.txt", content);
    ScriptedFrontEnd front({answerFor("gross")});
    CommandContext context = front.context(',');
    evaluateFromFile(context);
    EXPECT_EQ(front.displayWrites,
              (std::vector<std::string>{"mean=3,4", "deviation=1,7", "count=1000", "chart1=167",
                                        "chart2=167", "chart3=167", "chart4=167", "chart5=166",
                                        "chart6=166"}));
}

// Every damaged file is refused: the error reaches the caller, nothing is shown, the file is
// closed, and the count is stored only when it was valid.
TEST_F(FileEvaluation, RefusesDamagedFilesShowingNothingAndClosingThem) {
    struct Refusal {
        std::string content;
        std::string problem;  // the message after the quoted file name
        std::int32_t countAfter;
    };
    const std::vector<Refusal> refusals = {
        {"", " enthält keine gültige Notenanzahl", 3},
        {"drei\n1 2 3", " enthält keine gültige Notenanzahl", 3},
        {"2.5\n1 2", " enthält keine gültige Notenanzahl", 3},
        {"0x10\n1", " enthält keine gültige Notenanzahl", 3},
        {"-3\n", " enthält eine negative Notenanzahl", 3},
        {"0\n", " enthält keine Noten", 3},
        {"1001\n", " enthält mehr als 1000 Noten", 3},
        {"99999999999\n", " enthält mehr als 1000 Noten", 3},
        {"4\n2 3\n", " enthält nur 2 von 4 Noten", 4},
        {"2\n2,5 3,5\n", ": Note 1 ('2,5') ist keine gültige Zahl", 2},
        {"3\n1 2 x\n", ": Note 3 ('x') ist keine gültige Zahl", 3},
        {std::string("2\n1 \0\n", 6), ": Note 2 ('?') ist keine gültige Zahl", 2},
    };
    write("gut.txt", "3\n1 2 3\n");
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE("content \"" + refusal.content + "\"");
        const std::string path = write("kaputt.txt", refusal.content);
        ScriptedFrontEnd front({answerFor("gut"), answerFor("kaputt")});
        CommandContext context = front.context(',');
        evaluateFromFile(context);
        const std::vector<std::string> shownBefore = front.displayWrites;
        const std::size_t descriptorsBefore = openDescriptorCount();
        try {
            evaluateFromFile(context);
            ADD_FAILURE() << "no error";
        } catch (const EGradeFileError& error) {
            EXPECT_EQ(error.message(), "'" + path + "'" + refusal.problem);
        }
        EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
        EXPECT_EQ(front.displayWrites, shownBefore);
        EXPECT_TRUE(front.errorMessages.empty());  // reported by the caller's handler
        EXPECT_EQ(front.statistics.gradeCount, refusal.countAfter);
        EXPECT_EQ(front.statistics.gradeMean, 2.0f);  // the earlier evaluation's mean stays
    }
}

TEST_F(FileEvaluation, AGradeBeyondTheFloatRangeEndsWithTheClassificationError) {
    write("riesig.txt", "2\n1e39 2\n");
    ScriptedFrontEnd front({answerFor("riesig")});
    CommandContext context = front.context(',');
    const std::size_t descriptorsBefore = openDescriptorCount();
    try {
        evaluateFromFile(context);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOp& error) {
        EXPECT_EQ(error.message(), "Fehler bei Fließkommaoperation");
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    EXPECT_TRUE(front.displayWrites.empty());
    EXPECT_EQ(front.statistics.currentGrade, FLT_MAX);  // read limited, not infinite
    EXPECT_EQ(front.statistics.gradeSum, FLT_MAX);
}

TEST_F(FileEvaluation, EvaluatesTheAnnouncedGradesOnly) {
    struct Evaluation {
        std::string content;
        float mean;
        float deviation;
        std::array<std::int32_t, 7> tally;
    };
    const std::vector<Evaluation> evaluations = {
        {"2 2 2.6", 2.2999999523162841796875f, 0.2999999523162841796875f, {0, 0, 1, 1}},
        {"3\n1\n2\n3\ngarbage 2,5 \x1a", 2.0f, 0.8164966106414794921875f, {0, 1, 1, 1}},
        {"6 1 2 3 4 5 6 7 8", 3.5f, 1.707825183868408203125f, {0, 1, 1, 1, 1, 1, 1}},
        {"2 0.5 6.5", 3.5f, 3.0f, {0, 1, 0, 0, 0, 0, 0}},
        {"2 -1 7", 3.0f, 4.0f, {0, 0, 0, 0, 0, 0, 0}},  // counted in no column
    };
    for (const Evaluation& evaluation : evaluations) {
        SCOPED_TRACE("content \"" + evaluation.content + "\"");
        GradeReader reader;
        ASSERT_TRUE(reader.open(write("k.txt", evaluation.content)));
        GradeStatistics statistics;
        statistics.gradeTally.fill(9);  // cleared by the evaluation
        EXPECT_EQ(evaluateGradeFile(reader, statistics), evaluation.deviation);
        EXPECT_EQ(statistics.gradeMean, evaluation.mean);
        EXPECT_EQ(statistics.gradeTally, evaluation.tally);
    }
}

}  // namespace
}  // namespace noten
