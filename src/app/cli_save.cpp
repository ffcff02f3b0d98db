#include "app/cli_save.h"

namespace vor3::app {

std::optional<std::string> save_through_menu(Program& p, const CollectedMessages& messages, const std::string& file) {
    GivenFile dialog(file);
    form::FileDialog* before = p.ctx.files;
    p.use_file_dialog(dialog);
    const std::size_t shown = messages.texts.size();
    p.frm_config.ParMenueMain(2).press();
    p.use_file_dialog(*before);
    if (messages.texts.size() > shown) return messages.texts.back();
    return std::nullopt;
}

}  // namespace vor3::app
