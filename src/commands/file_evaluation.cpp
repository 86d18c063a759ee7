#include "commands/file_evaluation.h"
