#include "commands/grade_reader.h"
