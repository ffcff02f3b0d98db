#include "ui/config_window.h"

#include "link/pace.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/line_settings.h"
#include "model/numbers.h"
#include "ops/cyclic_readout.h"
#include "ops/read_device.h"
#include "ops/requests.h"
#include "ops/write_parameters.h"
#include "reply/reader.h"
#include "ui/about.h"
#include "ui/change_marking.h"
#include "ui/field_rules.h"
#include "ui/keep_edits.h"
#include "ui/language.h"
#include "ui/parameter_file.h"
#include "ui/port_list.h"
#include "ui/port_memory.h"
#include "ui/port_settings.h"
#include "ui/spin_buttons.h"
#include "ui/status_window.h"

namespace vor3::ui {

void attach_handlers(Context& c) {
    auto& f = c.frm;
    Context* cp = &c;
    for (auto& [i, list] : f.Combo_Port)
        list.on_click = [cp](int index) {
            if (!may_open_port(*cp, index)) return;
            const bool was_open = cp->port.is_open();
            Combo_Port_Click(*cp, index);
            if (index == 0 && cp->frm.loaded()) offer_port_settings(*cp);
            if (!was_open && cp->port.is_open() && remember_open_port(*cp)) remember_port_settings(*cp);
        };
    f.Combo_Port(0).editable = true;
    f.Combo_Port(0).on_drop_down = [cp](int) { Combo_Port_DropDown(*cp); };
    f.Combo_Port(0).on_text_entered = [cp](int, const std::string& text) { Combo_Port_TextEntered(*cp, text); };
    f.chk_echo.on_click = [cp](int) { chk_echo_Click(*cp); };
    f.chk_pace.on_click = [cp](int) { chk_pace_Click(*cp); };
    f.txt_Modbus_adress.on_key_press = [cp](int, int& key) { txt_Modbus_adress_KeyPress(*cp, key); };
    f.txt_Modbus_adress.on_change = [cp](int) { txt_Modbus_adress_Change(*cp); };
    for (auto& [i, field] : f.txt_data_cfg) {
        field.on_key_press = [cp](int index, int& key) { txt_data_cfg_KeyPress(*cp, index, key); };
        field.on_change = [cp](int index) { txt_data_cfg_Change(*cp, index); };
        field.on_lost_focus = [cp](int index) { txt_data_cfg_LostFocus(*cp, index); };
        field.on_key_down = [cp](int index, int key) { txt_data_cfg_KeyDown(*cp, index, key); };
        field.on_wheel = [cp](int index, int notches) { txt_data_cfg_MouseWheel(*cp, index, notches); };
    }
    for (auto& [i, field] : f.txt_data_in) {
        field.on_key_press = [cp](int index, int& key) { txt_data_in_KeyPress(*cp, index, key); };
        field.on_change = [cp](int index) { txt_data_in_Change(*cp, index); };
        field.on_lost_focus = [cp](int index) { txt_data_in_LostFocus(*cp, index); };
    }
    for (auto& [i, box] : f.chk_cfg) box.on_click = [cp](int index) { chk_cfg_Click(*cp, index); };
    for (auto& [i, list] : f.cmb_bit_cfg) list.on_click = [cp](int index) { cmb_bit_cfg_Click(*cp, index); };
    for (auto& [i, box] : f.chk_inp_bit) box.on_click = [cp](int index) { chk_inp_bit_Click(*cp, index); };
    for (auto& [i, spin] : f.UpD_txt_cfg) {
        spin.on_up = [cp](int index) { UpD_txt_cfg_UpClick(*cp, index); };
        spin.on_down = [cp](int index) { UpD_txt_cfg_DownClick(*cp, index); };
        spin.on_mouse_down = [cp](int index, double x, double y) { UpD_txt_cfg_MouseDown(*cp, index, x, y); };
        spin.on_mouse_move = [cp](int index, double x, double y) { UpD_txt_cfg_MouseMove(*cp, index, x, y); };
        spin.on_mouse_up = [cp](int index) { UpD_txt_cfg_MouseUp(*cp, index); };
    }
    f.cmd_read_device.on_click = [cp](int) {
        if (may_replace_edits(*cp, Replacing::Read)) ops::cmd_read_device_Click(*cp);
    };
    f.read_out_parameter.on_click = [cp](int) { ops::read_out_parameter_Click(*cp); };
    f.set_parameter.on_click = [cp](int) { ops::set_parameter_Click(*cp); };
    f.chk_read_out.on_click = [cp](int) { ops::chk_read_out_Click(*cp); };
    f.SSTab1.on_click = [cp](int) { SSTab1_Click(*cp); };
    for (int i : {1, 2, 4}) f.ParMenueMain(i).on_click = [cp](int index) { ParMenueMain_Click(*cp, index); };
    for (int i : {2, 3}) f.MenueMain(i).on_click = [cp](int index) { MenueMain_Click(*cp, index); };
    c.about.lblemail.on_click = [cp](int) { lblemail_Click(*cp); };
    c.about.lblHyperlink.on_click = [cp](int) { lblHyperlink_Click(*cp); };

    f.Timer.on_tick = [cp] { Timer_Timer(*cp); };
    f.Timer1.on_tick = [cp] { ops::Timer1_Timer(*cp); };
    f.Timer3.on_tick = [cp] { link::Timer3_Timer(*cp); };
    f.Timer4.on_tick = [cp] { reply::Timer4_Timer(*cp); };
    f.Timer5.on_tick = [cp] { link::Timer5_Timer(*cp); };
    f.Timer6.on_tick = [cp] { ops::Timer6_Timer(*cp); };
    f.TimerTurn.on_tick = [cp] { link::TimerTurn_Timer(*cp); };
    f.TimerPace.on_tick = [cp] { link::TimerPace_Timer(*cp); };

    c.state.Timer1SW.on_tick = [cp] { Timer1SW_Timer(*cp); };
    c.state.Timer2SW.on_tick = [cp] { Timer2SW_Timer(*cp); };
    c.state.Abbruch.on_click = [cp](int) { Abbruch_Click(*cp); };
    c.state.on_key_down = [cp](int key) { frmState_KeyDown(*cp, key); };
}

void frm_config_Load(Context& c) {
    auto& f = c.frm;
    apply_language(c, 0);
    show_range_tips(c);
    f.SSTab1.set_tab(0);
    c.g.transfer.reg_address = 0;

    auto fill = [](form::ComboBox& list, const auto& rows, auto entry) {
        list.clear();
        for (const auto& row : rows) list.add_item(entry(row));
    };
    fill(f.Combo_Port(1), model::kBaudRates, [](const char* baud) { return baud; });
    fill(f.Combo_Port(2), model::kParities, [](const model::ParityRow& p) { return p.name; });
    fill(f.Combo_Port(5), model::kModes, [](const model::ModeRow& m) { return model::framing_name(m.framing); });
    fill(f.Combo_Port(6), std::array{"close", "open"}, [](const char* s) { return s; });

    load_port_list(c);
    const auto& bauds = f.Combo_Port(1).items();
    for (std::size_t i = 0; i < bauds.size(); ++i)
        if (bauds[i] == c.g.link.baud_rate) f.Combo_Port(1).set_list_index(static_cast<int>(i));
    f.Combo_Port(2).set_list_index(1);
    f.Combo_Port(5).set_list_index(1);
    f.Combo_Port(6).set_list_index(c.g.link.port_open ? 1 : 0);
    load_echo_setting(c);
    // The port chosen comes with the line setting and address last used on it.
    offer_port_settings(c);

    for (int i = 0; i < c.g.link.in_value_count && i <= 3; ++i)
        c.g.image.in_value[static_cast<std::size_t>(i)] = model::leading_number(f.txt_data_in(i).text());
    f.set_loaded(true);
}

void SSTab1_Click(Context& c) {
    auto& f = c.frm;
    const bool general = f.SSTab1.tab() == 0;
    f.frm_allg(1).set_enabled(general);
    f.frm_hold(0).set_enabled(general);
    f.frm_display(0).set_enabled(!general);
    f.frm_coils(0).set_enabled(!general);
}

bool frm_config_QueryUnload(Context& c) {
    const auto kind = c.g.transfer.request_kind;
    const bool writing = c.frm.Timer1.enabled() || kind == model::kWriteConfigBlock ||
                         kind == model::kWriteConfigCoils || kind == model::kWriteExternalBlock ||
                         kind == model::kWriteLedCoils;
    if (!writing) return true;
    using model::Caption;
    const std::string& l = c.g.lang.language;
    return c.confirm.confirm(model::caption(Caption::confirm_quit_title, l),
                             model::caption(Caption::confirm_quit_text, l), model::caption(Caption::confirm_quit_ok, l),
                             model::caption(Caption::confirm_quit_cancel, l));
}

void frm_config_Unload(Context& c) {
    abandon_status_window(c);
    fAbout_Unload(c);
    c.frm.stop_all_timers();
}

void Exit_Click(Context& c) {
    if (!frm_config_QueryUnload(c)) return;
    c.frm.stop_all_timers();
    if (c.end_program) c.end_program();
}

}  // namespace vor3::ui
