#pragma once
#include "form/context.h"

namespace vor3::ui {

// Reads the installation folder, the language and the decimal separator
// from the registry and applies them: the texts of a window (0 the
// configuration window, 3 the status window), the help document and the
// parameter-file texts. Any language other than English ("1033") is German
// ("1031").
void apply_language(Context& c, int window);

// The texts of the configuration window in `language`, whatever the
// settings say. A view measures the window in both languages with it, so
// that it has one size in either.
void caption_configuration_window(Context& c, const std::string& language);

}  // namespace vor3::ui
