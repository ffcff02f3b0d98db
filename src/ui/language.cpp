#include "ui/language.h"

#include "model/captions.h"
#include "model/register_map.h"
#include "store/registry.h"
#include "ui/status_line.h"

namespace vor3::ui {

namespace {

using model::Caption;

void caption_status_window(Context& c, const std::string& language) {
    auto& s = c.state;
    s.set_caption(model::caption(Caption::frmState, language));
    s.Abbruch.set_caption(model::caption(Caption::Abbruch, language));
    s.lblTxt.set_caption(model::caption(Caption::lblTxt, language));
    s.cmdOK.set_caption(model::caption(Caption::cmdOK, language));
}

}  // namespace

void caption_configuration_window(Context& c, const std::string& language) {
    auto& f = c.frm;
    const struct {
        form::Control& control;
        Caption text;
    } controls[] = {
        {f.cmd_read_device, Caption::cmd_read_device},  {f.read_out_parameter, Caption::read_out_parameter},
        {f.set_parameter, Caption::set_parameter},      {f.warning_line(), Caption::lbl_desc_16},
        {f.lbl_desc(17), Caption::lbl_desc_17},         {f.lbl_desc(0), Caption::lbl_desc_0},
        {f.lbl_desc(2), Caption::lbl_desc_2},           {f.lbl_desc(3), Caption::lbl_desc_3},
        {f.MenueMain(1), Caption::MenueMain_1},         {f.MenueMain(2), Caption::MenueMain_2},
        {f.MenueMain(3), Caption::MenueMain_3},         {f.ParMenueMain(1), Caption::ParMenueMain_1},
        {f.ParMenueMain(2), Caption::ParMenueMain_2},   {f.ParMenueMain(3), Caption::ParMenueMain_3},
        {f.ParMenueMain(4), Caption::ParMenueMain_4},   {f.MenueMain(4), Caption::MenueMain_4},
        {f.lbl_parameter(7), Caption::lbl_parameter_7}, {f.lbl_parameter(8), Caption::lbl_parameter_8},
        {f.AnsichtMenue(1), Caption::AnsichtMenue_1},   {f.AnsichtMenue(2), Caption::AnsichtMenue_2},
        {f.AnsichtMenue(3), Caption::AnsichtMenue_3},   {f.AnsichtMenue(4), Caption::AnsichtMenue_4},
        {f.AnsichtMenue(5), Caption::AnsichtMenue_5},   {f.frm_allg(1), Caption::frm_allg_1},
        {f.frm_hold(0), Caption::frm_hold_0},           {f.frm_coils(0), Caption::frm_coils_0},
        {f.frm_display(0), Caption::frm_display_0},     {f.frm_val(1), Caption::frm_val_1},
    };
    for (const auto& k : controls) k.control.set_caption(model::caption(k.text, language));
    f.AnsichtMenue(6).set_caption(model::caption(Caption::AnsichtMenue_6, language));
    f.SSTab1.set_tab_caption(0, model::caption(Caption::SSTab1_0, language));
    f.SSTab1.set_tab_caption(1, model::caption(Caption::SSTab1_1, language));
    f.status_line.set_caption(status_line_text(c, language));

    const bool english = language == model::kEnglish;
    for (const auto& field : model::field_map()) {
        const char* text = english ? field.caption_en : field.caption_de;
        switch (field.array) {
        case model::FieldArray::txt_data_cfg: f.lbl_cfg(field.index).set_caption(text); break;
        case model::FieldArray::txt_data_out: f.lbl_read_out(field.index).set_caption(text); break;
        case model::FieldArray::txt_data_in: f.lbl_data_in(field.index).set_caption(text); break;
        case model::FieldArray::chk_cfg: f.lbl_read_cfg_bit(field.index).set_caption(text); break;
        case model::FieldArray::chk_inp_bit: f.lbl_read_bit(field.index).set_caption(text); break;
        }
    }
}

void apply_language(Context& c, int window) {
    auto& l = c.g.lang;
    const store::CRegistry registry = store::platform_registry(c.g.platform);
    l.install_path = registry.MachineSetting(store::kProductKey, "Pfad");
    l.language = registry.MachineSetting(store::kProductKey, "Language");
    // The user's own separator first, then the one of the user's locale.
    // Only "," and "." can be: the fields and the parameter files take one
    // ASCII character, and any other ("0", Arabic "٫") would turn numbers
    // into other numbers or into bytes the files cannot hold.
    auto usable = [](const std::string& sep) { return sep == "," || sep == "." ? sep : std::string(); };
    l.decimal_sep = usable(registry.Werte(store::kInternationalKey, "sDecimal"));
    if (l.decimal_sep.empty()) l.decimal_sep = usable(c.g.platform.locale_decimal_sep);
    if (l.decimal_sep.empty()) l.decimal_sep = ",";
    if (l.language != model::kEnglish) l.language = model::kGerman;
    l.help_document = model::caption(Caption::help_document, l.language);
    for (int i = 7; i <= 12; ++i) {
        const auto text = static_cast<Caption>(static_cast<int>(Caption::file_text_7) + i - 7);
        l.FileTexts[static_cast<std::size_t>(i)] = model::caption(text, l.language);
    }
    // The windows are designed in German; setting the texts of the language
    // in force also undoes an earlier English run.
    if (window == 0) caption_configuration_window(c, l.language);
    if (window == 3 || l.language == model::kGerman) caption_status_window(c, l.language);
}

}  // namespace vor3::ui
