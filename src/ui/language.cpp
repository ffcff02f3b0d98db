#include "ui/language.h"

namespace vor3::ui {

void apply_language(Context& c, int /*window*/) {
    auto& l = c.g.lang;
    // The installation's settings are not read yet: German, with a comma.
    if (l.decimal_sep.empty()) l.decimal_sep = ",";
    l.language = "1031";
    l.help_document = "\\Doc\\ROZ3 RS485 Modbus CO2, Register MS_1.pdf";
    c.state.lblTxt.set_caption("Warten ...");
    const char* texts[] = {"Als Trennzeichen Semikolon ; verwenden!", "Konfigurationsbit", "Baudrate: ",
                           "Modus: ", "Parität: ", "Adresse: "};
    for (int i = 0; i < 6; ++i) l.FileTexts[static_cast<std::size_t>(7 + i)] = texts[i];
}

}  // namespace vor3::ui
