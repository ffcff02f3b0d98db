#include "ui/about.h"

#include <filesystem>

#include "model/captions.h"
#include "store/fs_path.h"
#include "store/registry.h"

namespace vor3::ui {

namespace {

using model::Caption;

void open_link(Context& c, const std::string& url) {
    if (!c.desktop->open_link(url)) c.msg.show(model::caption(Caption::msg_cannot_open, c.g.lang.language, {url}));
}

}  // namespace

void MenueMain_Click(Context& c, int index) {
    if (index == 2) fAbout_Load(c);
    if (index == 3) open_help(c);
}

void fAbout_Load(Context& c) {
    auto& a = c.about;
    const store::CRegistry registry = store::platform_registry(c.g.platform);
    a.Label1.set_caption(registry.MachineSetting(store::kProductKey, "Version"));
    // Centred on the screen, not on the configuration window.
    const form::ScreenSize screen = c.screen->size();
    a.left = (screen.width - a.width) / 2;
    a.top = (screen.height - a.height) / 2;
    const std::string& language = c.g.lang.language;
    a.set_caption(model::caption(Caption::fAbout, language));
    a.lblVersion.set_caption(model::caption(Caption::lblVersion, language));
    a.lbl_Software_Hinweis.set_caption(model::caption(Caption::lbl_Software_Hinweis, language));
    a.set_loaded(true);
    a.set_visible(true);
}

void fAbout_Unload(Context& c) {
    c.about.set_visible(false);
    c.about.set_loaded(false);
}

void lblemail_Click(Context& c) { open_link(c, "mailto:" + std::string(model::caption_de(Caption::maker_email))); }

void lblHyperlink_Click(Context& c) { open_link(c, model::caption_de(Caption::maker_web)); }

std::string help_target(const Context& c) {
    std::string document = c.g.lang.help_document;
    for (char& ch : document)
        if (ch == '\\') ch = static_cast<char>(std::filesystem::path::preferred_separator);
    return c.g.lang.install_path + document;
}

void open_help(Context& c) {
    const std::string target = help_target(c);
    const std::filesystem::path path = store::fs_path(target);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        c.msg.show(model::caption(Caption::msg_help_missing, c.g.lang.language,
                                  {store::utf8_of(path.filename()), store::utf8_of(path.parent_path())}));
        return;
    }
    if (!c.desktop->open_document(target))
        c.msg.show(model::caption(Caption::msg_cannot_open, c.g.lang.language, {target}));
}

}  // namespace vor3::ui
