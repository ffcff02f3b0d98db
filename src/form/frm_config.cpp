#include "form/frm_config.h"

#include <utility>

#include "model/captions.h"
#include "model/line_settings.h"
#include "model/register_map.h"

namespace vor3::form {

namespace {

using model::Caption;

// The windows are designed with their German texts.
const char* de(Caption id) { return model::caption_de(id); }

template <class T>
T& place(ControlArray<T>& array, int index, Control& parent, const char* caption = nullptr) {
    T& c = array.add(index);
    c.set_parent(&parent);
    if (caption) c.set_caption(caption);
    return c;
}

void place(Control& c, Control& parent, const char* caption = nullptr) {
    c.set_parent(&parent);
    if (caption) c.set_caption(caption);
}

}  // namespace

FrmConfig::FrmConfig(Clock& clock)
    : Timer(clock, "Timer", 200),
      Timer1(clock, "Timer1", 400),
      Timer3(clock, "Timer3", model::kStartMode.give_up_ms),
      Timer4(clock, "Timer4", model::kStartMode.poll_ms),
      Timer5(clock, "Timer5", model::kReplyTimeoutMs),
      Timer6(clock, "Timer6", 200),
      TimerTurn(clock, "TimerTurn", 0),
      TimerPace(clock, "TimerPace", 0) {
    set_caption(kAppTitle);

    // Serial-settings frame
    place(frm_parameter, *this, de(Caption::frm_parameter));
    for (int i : {0, 1, 2, 5, 6}) place(Combo_Port, i, frm_parameter);
    const std::pair<int, Caption> parameter_labels[] = {{6, Caption::lbl_parameter_6}, {1, Caption::lbl_parameter_1},
                                                        {0, Caption::lbl_parameter_0}, {3, Caption::lbl_parameter_3},
                                                        {5, Caption::lbl_parameter_5}, {2, Caption::lbl_parameter_2},
                                                        {7, Caption::lbl_parameter_7}, {8, Caption::lbl_parameter_8}};
    for (const auto& [i, text] : parameter_labels) place(lbl_parameter, i, frm_parameter, de(text));
    place(txt_Modbus_adress, frm_parameter);
    place(chk_echo, frm_parameter);
    place(chk_pace, frm_parameter);
    txt_Modbus_adress.set_max_length(3);
    txt_Modbus_adress.set_text("1");
    place(Picture1, *this);

    place(SSTab1, *this);
    SSTab1.tab_captions = {de(Caption::SSTab1_0), de(Caption::SSTab1_1)};

    Container& allg = place(frm_allg, 1, SSTab1, de(Caption::frm_allg_1));
    Container& hold = place(frm_hold, 0, SSTab1, de(Caption::frm_hold_0));
    Container& val = place(frm_val, 1, SSTab1, de(Caption::frm_val_1));
    Container& display = place(frm_display, 0, SSTab1, de(Caption::frm_display_0));
    Container& coils = place(frm_coils, 0, SSTab1, de(Caption::frm_coils_0));

    place(lbl_desc, 0, allg, de(Caption::lbl_desc_0));
    place(lbl_desc, 2, display, de(Caption::lbl_desc_2));
    place(lbl_desc, 3, display, de(Caption::lbl_desc_3));

    for (const auto& f : model::field_map()) {
        switch (f.array) {
        case model::FieldArray::txt_data_cfg: {
            Container& frame = f.index == 6 ? display : allg;
            TextBox& t = place(txt_data_cfg, f.index, frame);
            t.set_max_length(f.max_length);
            t.set_visible(!f.hidden);
            Label& l = place(lbl_cfg, f.index, frame, f.caption_de);
            if (f.index == 2) l.set_visible(false);
            if (f.index >= 3) {
                UpDown& spin = place(UpD_txt_cfg, f.index, frame);
                spin.min = f.min;
                spin.max = f.max;
            }
            break;
        }
        case model::FieldArray::txt_data_in: {
            place(txt_data_in, f.index, hold).set_max_length(f.max_length);
            place(lbl_data_in, f.index, hold, f.caption_de);
            break;
        }
        case model::FieldArray::txt_data_out: {
            TextBox& t = place(txt_data_out, f.index, val);
            t.set_back_color(kScrollBarColor);
            t.set_read_only(true);
            place(lbl_read_out, f.index, val, f.caption_de);
            break;
        }
        case model::FieldArray::chk_cfg: {
            place(chk_cfg, f.index, display).set_visible(!f.hidden);
            place(lbl_read_cfg_bit, f.index, display, f.caption_de).set_visible(f.index != 7);
            break;
        }
        case model::FieldArray::chk_inp_bit: {
            place(chk_inp_bit, f.index, coils).set_visible(!f.hidden);
            place(lbl_read_bit, f.index, coils, f.caption_de).set_visible(!f.hidden);
            break;
        }
        }
    }
    for (int i = 3; i <= 5; ++i) {
        TextBox& t = place(txt_data_in, i, hold);
        t.set_max_length(5);
        t.set_visible(false);
    }
    place(lbl_cfg_val, 0, allg);
    place(lbl_cfg_val, 1, allg);
    place(lbl_unit, 0, hold, de(Caption::unit_celsius));
    place(lbl_unit_hum, 0, hold, de(Caption::unit_humidity));
    place(lbl_kelvin, 3, hold, de(Caption::unit_ppm));
    place(lbl_unit, 1, val, de(Caption::unit_celsius));
    place(lbl_unit_hum, 1, val, de(Caption::unit_humidity));
    place(lbl_unit_hum, 2, val, de(Caption::unit_ppm));
    ComboBox& unit = place(cmb_bit_cfg, 3, display);
    unit.add_item("0 - °F");
    unit.add_item("1 - °C");

    // Action frame
    place(Frm_read, *this);
    place(cmd_read_device, Frm_read, de(Caption::cmd_read_device));
    cmd_read_device.set_enabled(false);
    place(read_out_parameter, Frm_read, de(Caption::read_out_parameter));
    place(set_parameter, Frm_read, de(Caption::set_parameter));
    set_parameter.set_enabled(false);
    place(chk_read_out, Frm_read);
    place(lbl_desc, 17, Frm_read, de(Caption::lbl_desc_17));
    Label& warning = place(lbl_desc, 16, Frm_read, de(Caption::lbl_desc_16));
    warning.set_visible(false);
    warning.set_fore_color(kChangeMark);
    place(status_line, Frm_read);

    // Menus
    place(MenueMain, 1, *this, de(Caption::MenueMain_1));
    place(MenueMain, 2, *this, de(Caption::MenueMain_2));
    place(MenueMain, 3, *this, de(Caption::MenueMain_3));
    place(ParMenueMain, 1, MenueMain(1), de(Caption::ParMenueMain_1));
    place(ParMenueMain, 2, MenueMain(1), de(Caption::ParMenueMain_2));
    place(ParMenueMain, 3, MenueMain(1), de(Caption::ParMenueMain_3));
    place(ParMenueMain, 4, MenueMain(1), de(Caption::ParMenueMain_4));
    for (int i = 1; i <= 4; ++i) MenueMain(1).children.push_back(&ParMenueMain(i));
    // The view menu's windows come one by one; an item shows once its
    // window is there, and the menu once it has an item.
    place(MenueMain, 4, *this, de(Caption::MenueMain_4));
    MenueMain(4).set_visible(false);
    const Caption view_items[] = {Caption::AnsichtMenue_1, Caption::AnsichtMenue_2, Caption::AnsichtMenue_3,
                                  Caption::AnsichtMenue_4, Caption::AnsichtMenue_5, Caption::AnsichtMenue_6};
    for (int i = 1; i <= 6; ++i) {
        place(AnsichtMenue, i, MenueMain(4), de(view_items[i - 1])).set_visible(false);
        MenueMain(4).children.push_back(&AnsichtMenue(i));
    }
    menu_bar = {&MenueMain(1), &MenueMain(4), &MenueMain(2), &MenueMain(3)};
}

void FrmConfig::stop_all_timers() {
    for (form::Timer* t : {&Timer, &Timer1, &Timer3, &Timer4, &Timer5, &Timer6, &TimerTurn, &TimerPace}) t->stop();
}

FrmState::FrmState(Clock& clock) : Timer1SW(clock, "Timer1SW", 0), Timer2SW(clock, "Timer2SW", 0) {
    set_caption(de(Caption::frmState));
    lblTxt.set_parent(this);
    lblTxt.set_caption(de(Caption::lblTxt));
    frameProgress.set_parent(this);
    ProgressFile.set_parent(&frameProgress);
    ProgressFile.set_range(0, 10);
    Abbruch.set_parent(this);
    Abbruch.set_caption(de(Caption::Abbruch));
    Abbruch.set_visible(false);
    cmdOK.set_parent(this);
    cmdOK.set_caption(de(Caption::cmdOK));
    cmdOK.set_visible(false);
}

}  // namespace vor3::form
