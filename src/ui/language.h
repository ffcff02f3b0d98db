#pragma once
#include "link/context.h"

namespace vor3::ui {

// Reads the installation folder, the language and the decimal separator
// from the registry and applies them: the texts of a window (0 the
// configuration window, 3 the status window), the help document and the
// parameter-file texts. Any language other than English ("1033") is German
// ("1031").
void apply_language(Context& c, int window);

}  // namespace vor3::ui
