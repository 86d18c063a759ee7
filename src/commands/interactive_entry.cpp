#include "commands/interactive_entry.h"
