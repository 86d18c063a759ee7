#include "cli/cli.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace noten {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The grade files of one test in a folder of their own, which is the working directory of
// the runs, so the file names in the output are as short as typed.
class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        write("klasse.txt", "3\n2.5 1 4\n");
        write("zwei.txt", "2\n2 2.6\n");
        write("kurz.txt", "4\n2 3\n");
    }
    void TearDown() override { fs::remove_all(folder_); }

    void write(const std::string& name, const std::string& content) {
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }

    // runCli in this process, with `input` as standard input.
    RunResult run(const std::vector<std::string>& arguments, const std::string& input = "",
                  char separator = ',') {
        const fs::path previous = fs::current_path();
        fs::current_path(folder_);
        std::string data = input + " ";  // fmemopen needs at least one byte
        std::FILE* in = fmemopen(data.data(), input.size(), "r");
        std::ostringstream out;
        std::ostringstream err;
        RunResult result;
        result.status = runCli(arguments, in, out, err, separator);
        std::fclose(in);
        fs::current_path(previous);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // The built executable in a clean environment plus `environment` (e.g. "LC_ALL=C").
    RunResult runExecutable(const std::string& environment,
                            const std::vector<std::string>& arguments,
                            const std::string& input = "") {
        write("eingabe", input);
        std::string command = "cd " + shellQuoted(folder_.string()) + " && env -i " + environment +
                              " " + shellQuoted(NOTEN_CLI_PATH);
        for (const std::string& argument : arguments) {
            command += " " + shellQuoted(argument);
        }
        command += " < eingabe > ausgabe 2> fehler";
        const int status = std::system(command.c_str());
        RunResult result;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readWhole(folder_ / "ausgabe");
        result.err = readWhole(folder_ / "fehler");
        return result;
    }

    fs::path folder_;
};

const std::string kKlasseLine =
    "klasse.txt: 3 Noten, Mittelwert 2,5, Abweichung 1,2, Verteilung 1:1 2:0 3:1 4:1 5:0 6:0\n";
const std::string kZweiLine =
    "zwei.txt: 2 Noten, Mittelwert 2,3, Abweichung 0,3, Verteilung 1:0 2:1 3:1 4:0 5:0 6:0\n";

TEST_F(Cli, PrintsOneLinePerFileInOrder) {
    write("eine.txt", "1 6");
    const RunResult result = run({"klasse.txt", "zwei.txt", "eine.txt", "klasse.txt"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              kKlasseLine + kZweiLine +
                  "eine.txt: 1 Note, Mittelwert 6, Abweichung 0, Verteilung 1:0 2:0 3:0 4:0 "
                  "5:0 6:1\n" +
                  kKlasseLine);
    EXPECT_EQ(result.err, "");
}

TEST_F(Cli, ReportsFailuresOnStandardErrorAndGoesOn) {
    fs::create_directory(folder_ / "ordner");
    const RunResult result = run({"fehlt.txt", "klasse.txt", "kurz.txt", "ordner", "klasse"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, kKlasseLine);
    EXPECT_EQ(result.err,
              "fehlt.txt: 'fehlt.txt' lässt sich nicht öffnen\n"
              "kurz.txt: 'kurz.txt' enthält nur 2 von 4 Noten\n"
              "ordner: 'ordner' lässt sich nicht öffnen\n"
              "klasse: 'klasse' lässt sich nicht öffnen\n");  // no extension is added
}

TEST_F(Cli, ReadsStandardInputForADash) {
    const RunResult result = run({"-", "klasse.txt"}, "2\r\n1 2\r\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "-: 2 Noten, Mittelwert 1,5, Abweichung 0,5, Verteilung 1:1 2:1 3:0 4:0 5:0 "
              "6:0\n" +
                  kKlasseLine);
    const RunResult damaged = run({"-"}, "2\n1 x");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.err, "-: 'Standardeingabe': Note 2 ('x') ist keine gültige Zahl\n");
}

TEST_F(Cli, JsonGivesOneObjectPerFileWithShortestFloats) {
    write("riesig.txt", "1 1e39");
    const RunResult result = run({"--json", "klasse.txt", "fehlt.txt", "zwei.txt", "riesig.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out,
              "{\"file\": \"klasse.txt\", \"count\": 3, \"mean\": 2.5, \"deviation\": 1.2247449, "
              "\"mean_text\": \"2,5\", \"deviation_text\": \"1,2\", \"tally\": [1, 0, 1, 1, 0, "
              "0]}\n"
              "{\"file\": \"fehlt.txt\", \"error\": \"'fehlt.txt' lässt sich nicht öffnen\"}\n"
              "{\"file\": \"zwei.txt\", \"count\": 2, \"mean\": 2.3, \"deviation\": 0.29999995, "
              "\"mean_text\": \"2,3\", \"deviation_text\": \"0,3\", \"tally\": [0, 1, 1, 0, 0, "
              "0]}\n"
              "{\"file\": \"riesig.txt\", \"error\": \"Fehler bei Fließkommaoperation\"}\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(Cli, JsonEscapesStringsAndReplacesInvalidUtf8) {
    const std::string name =
        "a\"b\\c\nd\x01\x1f"
        "ä€\xf0\x9f\x98\x80 \xff \xc0\xaf \xed\xa0\x80 \xe2\x82";
    const std::string escaped =
        "a\\\"b\\\\c\\u000ad\\u0001\\u001fä€\xf0\x9f\x98\x80 \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD "
        "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD";
    const RunResult result = run({"--json", name});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "{\"file\": \"" + escaped + "\", \"error\": \"'" + escaped +
                              "' lässt sich nicht öffnen\"}\n");
}

TEST_F(Cli, UsageErrorsAndHelp) {
    struct Usage {
        std::vector<std::string> arguments;
        int status;
        std::string errorPart;
    };
    const std::vector<Usage> usages = {
        {{}, 2, "keine Datei angegeben"},
        {{"--json"}, 2, "keine Datei angegeben"},
        {{"--xml", "klasse.txt"}, 2, "unbekannte Option '--xml'"},
        {{"klasse.txt", "-j"}, 2, "unbekannte Option '-j'"},
    };
    for (const Usage& usage : usages) {
        const RunResult result = run(usage.arguments);
        EXPECT_EQ(result.status, usage.status);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(usage.errorPart), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("Aufruf: notenstatistik-cli [--json] DATEI..."),
                  std::string::npos);
    }

    const RunResult help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Aufruf: notenstatistik-cli [--json] DATEI...\n", 0), 0u);
    EXPECT_NE(help.out.find("--json"), std::string::npos);
    EXPECT_NE(help.out.find("Standardeingabe"), std::string::npos);
    EXPECT_EQ(help.err, "");

    // After "--" everything is a file name, even when it looks like an option.
    const RunResult dashed = run({"--", "--json"});
    EXPECT_EQ(dashed.status, 1);
    EXPECT_EQ(dashed.err, "--json: '--json' lässt sich nicht öffnen\n");
}

TEST_F(Cli, ExecutableTakesTheSeparatorFromTheLocale) {
    struct Setting {
        std::string environment;
        std::string mean;
    };
    const std::vector<Setting> settings = {
        {"LC_ALL=de_DE.UTF-8", "2,5"},
        {"LC_ALL=C", "2.5"},
        {"LANG=de_DE.UTF-8", "2,5"},
        {"LANG=de_DE.UTF-8 LC_ALL=en_US.UTF-8", "2.5"},
        {"", "2.5"},
    };
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.environment);
        const RunResult result = runExecutable(setting.environment, {"klasse.txt"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "klasse.txt: 3 Noten, Mittelwert " + setting.mean + ", Abweichung 1" +
                                  setting.mean.substr(1, 1) +
                                  "2, Verteilung 1:1 2:0 3:1 4:1 5:0 6:0\n");
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(Cli, ExecutableExitStatusesAndStandardInput) {
    const RunResult good = runExecutable("LC_ALL=C", {"--json", "-"}, "1\n2.5\n");
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.out,
              "{\"file\": \"-\", \"count\": 1, \"mean\": 2.5, \"deviation\": 0, "
              "\"mean_text\": \"2.5\", \"deviation_text\": \"0\", \"tally\": [0, 0, 1, 0, 0, "
              "0]}\n");

    const RunResult failed = runExecutable("LC_ALL=de_DE.UTF-8", {"klasse.txt", "kurz.txt"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, kKlasseLine);
    EXPECT_EQ(failed.err, "kurz.txt: 'kurz.txt' enthält nur 2 von 4 Noten\n");

    const RunResult usage = runExecutable("LC_ALL=C", {});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_NE(usage.err, "");

    const RunResult help = runExecutable("LC_ALL=C", {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Aufruf"), std::string::npos);
}

}  // namespace
}  // namespace noten
