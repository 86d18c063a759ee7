#include "core/text_to_number.h"
