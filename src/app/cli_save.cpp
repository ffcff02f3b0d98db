#include "app/cli_save.h"

#include "model/captions.h"
#include "store/code_page.h"
#include "store/whole_file.h"

namespace vor3::app {

std::optional<std::string> save_through_menu(Program& p, const CollectedMessages& messages, const std::string& file) {
    // The window would ask before replacing a read-only file; no one is
    // there to answer.
    if (store::is_read_only(file)) {
        const std::string& language = p.g.lang.language;
        return model::caption(model::Caption::msg_save_failed, language,
                              {store::printable(file), model::caption(model::Caption::reason_read_only, language)});
    }
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
