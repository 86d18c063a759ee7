#include "stats/grade_statistics.h"
