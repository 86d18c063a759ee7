#pragma once

#include "commands/command_context.h"
#include "commands/grade_reader.h"
#include "stats/grade_statistics.h"

namespace noten {

// Reads the count and the grades from an open reader into `statistics` and computes mean and
// deviation; returns gradeDeviation. Any damaged data throws before a result exists.
float evaluateGradeFile(GradeReader& reader, GradeStatistics& statistics);

// "Datei auswerten": asks for a file name in the dialog "Notenstatistik aus Datei", appends
// ".txt", asks again (without a message) while the file cannot be opened, evaluates it and
// shows the results. An empty name or a cancelled dialog ends the command.
void evaluateFromFile(CommandContext& context);

}  // namespace noten
