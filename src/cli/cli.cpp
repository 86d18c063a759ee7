#include "cli/cli.h"

#include <string_view>

#include "cli/captured_results.h"
#include "cli/json_text.h"
#include "commands/file_evaluation.h"
#include "commands/grade_reader.h"
#include "commands/result_display.h"
#include "core/errors.h"
#include "core/floating_point.h"
#include "stats/grade_statistics.h"

namespace noten {

namespace {

constexpr int kAllEvaluated = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

constexpr std::string_view kStandardInputName = "-";

constexpr std::string_view kSynopsis = "Aufruf: notenstatistik-cli [--json] DATEI...\n";

constexpr std::string_view kHelp =
    "Wertet Notendateien aus und gibt je Datei die Anzahl der Noten, den Mittelwert, die\n"
    "Standardabweichung (beide auf Zehntel abgeschnitten) und die Verteilung auf die ganzen\n"
    "Noten 1 bis 6 aus.\n"
    "\n"
    "Eine Notendatei enthält die Anzahl der Noten (1 bis 1000) und danach so viele Noten,\n"
    "getrennt durch Leerzeichen, Tabulatoren oder Zeilenumbrüche; Dezimaltrennzeichen der\n"
    "Noten ist der Punkt. DATEI wird so verwendet, wie sie angegeben ist; \"-\" liest die\n"
    "Standardeingabe.\n"
    "\n"
    "Optionen:\n"
    "  --json   je Datei ein JSON-Objekt in einer Zeile statt einer Textzeile\n"
    "  --help   diese Hilfe anzeigen\n"
    "  --       alle weiteren Argumente sind Dateinamen\n"
    "\n"
    "Rückgabewert: 0, wenn jede Datei ausgewertet wurde, 1, wenn mindestens eine Datei nicht\n"
    "ausgewertet werden konnte, 2 bei einem Aufruffehler.\n";

struct Options {
    bool json = false;
    bool help = false;
    std::vector<std::string> files;
};

// Returns the error text of a usage error, or an empty string.
std::string parseArguments(const std::vector<std::string>& arguments, Options& options) {
    bool onlyFiles = false;
    for (const std::string& argument : arguments) {
        if (onlyFiles || argument == kStandardInputName || !argument.starts_with('-')) {
            options.files.push_back(argument);
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--help") {
            options.help = true;
        } else {
            return "unbekannte Option '" + argument + "'";
        }
    }
    if (!options.help && options.files.empty()) {
        return "keine Datei angegeben";
    }
    return "";
}

// The evaluated statistics of one file and the texts the window would show for them.
struct FileResult {
    GradeStatistics statistics;
    float deviation = 0.0f;
    CapturedResults texts;
};

// Evaluates one file as though it were the first evaluation after program start.
void evaluateFile(const std::string& file, std::FILE* standardInput, char decimalSeparator,
                  FileResult& result) {
    GradeReader reader;
    if (file == kStandardInputName) {
        reader.attach(standardInput, "Standardeingabe");
    } else if (!reader.open(file)) {
        throw EGradeFileError("'" + file + "' lässt sich nicht öffnen");
    }
    result.deviation = evaluateGradeFile(reader, result.statistics);
    showResults(result.statistics, result.deviation, result.texts, decimalSeparator);
}

std::string textLine(const std::string& file, const FileResult& result) {
    const CapturedResults& texts = result.texts;
    std::string line = file + ": " + texts.count() +
                       (result.statistics.gradeCount == 1 ? " Note" : " Noten") + ", Mittelwert " +
                       texts.mean() + ", Abweichung " + texts.deviation() + ", Verteilung";
    for (int column = 1; column <= 6; ++column) {
        line += " " + std::to_string(column) + ":" + texts.column(column);
    }
    return line;
}

std::string jsonLine(const std::string& file, const FileResult& result) {
    const GradeStatistics& statistics = result.statistics;
    std::string line =
        "{\"file\": " + jsonString(file) + ", \"count\": " + std::to_string(statistics.gradeCount) +
        ", \"mean\": " + jsonNumber(statistics.gradeMean) +
        ", \"deviation\": " + jsonNumber(result.deviation) +
        ", \"mean_text\": " + jsonString(result.texts.mean()) +
        ", \"deviation_text\": " + jsonString(result.texts.deviation()) + ", \"tally\": [";
    for (std::size_t column = 1; column <= 6; ++column) {
        line += (column > 1 ? ", " : "") + std::to_string(statistics.gradeTally[column]);
    }
    return line + "]}";
}

std::string jsonErrorLine(const std::string& file, const Exception& error) {
    return "{\"file\": " + jsonString(file) + ", \"error\": " + jsonString(error.message()) + "}";
}

}  // namespace

int runCli(const std::vector<std::string>& arguments, std::FILE* standardInput, std::ostream& out,
           std::ostream& err, char decimalSeparator) {
    Options options;
    if (const std::string problem = parseArguments(arguments, options); !problem.empty()) {
        err << "notenstatistik-cli: " << problem << "\n" << kSynopsis << "Mehr dazu mit --help.\n";
        return kUsageError;
    }
    if (options.help) {
        out << kSynopsis << "\n" << kHelp;
        return kAllEvaluated;
    }
    try {
        setupFloatingPointEnvironment();
    } catch (const Exception& error) {
        err << "notenstatistik-cli: " << error.message() << ".\n";
        return kSomeFailed;
    }

    int status = kAllEvaluated;
    for (const std::string& file : options.files) {
        FileResult result;
        try {
            evaluateFile(file, standardInput, decimalSeparator, result);
        } catch (const Exception& error) {
            status = kSomeFailed;
            if (options.json) {
                out << jsonErrorLine(file, error) << std::endl;
            } else {
                out.flush();  // keeps the lines of both streams in file order on a terminal
                err << file << ": " << error.message() << std::endl;
            }
            continue;
        }
        out << (options.json ? jsonLine(file, result) : textLine(file, result)) << std::endl;
    }
    return status;
}

}  // namespace noten
