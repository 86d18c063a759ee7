#include "core/number_to_text.h"
