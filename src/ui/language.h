#pragma once
#include "link/context.h"

namespace vor3::ui {

// Applies the language in force to a window (0 the configuration window,
// 3 the status window) and sets the decimal separator, the help document
// and the parameter-file texts.
void apply_language(Context& c, int window);

}  // namespace vor3::ui
