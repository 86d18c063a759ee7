#include "commands/result_display.h"
