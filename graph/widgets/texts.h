// The texts between the windows and the engine live below the windows, in
// graph/language, where the pictures and the reports use them too.
#pragma once

#include "graph/language/texts.h"
