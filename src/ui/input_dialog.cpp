#include "ui/input_dialog.h"
