#include "ui/change_marking.h"

namespace vor3::ui {

namespace {

std::uint32_t mark_if(bool differs) { return differs ? form::kChangeMark : form::kNormalText; }

}  // namespace

void UpdateApplyButton(Context& c, int group) {
    auto& f = c.frm;
    bool changed = false;
    auto scan = [&](auto& array) {
        for (auto& [i, control] : array)
            if (control.fore_color() == form::kChangeMark) changed = true;
    };
    if (group == 0 || group == 1) scan(f.txt_data_cfg);
    if (group == 0 || group == 2)
        for (int i = 0; i <= 2; ++i)
            if (f.txt_data_in(i).fore_color() == form::kChangeMark) changed = true;
    if (group == 0 || group == 3) scan(f.chk_cfg);
    if (group == 0 || group == 4) scan(f.chk_inp_bit);
    if (f.chk_read_out.value() == 0) f.set_parameter.set_enabled(changed);
}

void ResetUnitCombo(Context& c) {
    // The list shows the unit its hidden coil holds. Opening the port must
    // never change or mark a value: a list already showing one stays.
    auto& unit = c.frm.cmb_bit_cfg(3);
    if (unit.list_index() < 0) unit.set_list_index(c.frm.chk_cfg(3).value() ? 1 : 0);
}

void chk_cfg_Click(Context& c, int index) {
    auto& f = c.frm;
    auto& box = f.chk_cfg(index);
    if (index == 3) {
        auto& unit = f.cmb_bit_cfg(3);
        unit.set_list_index(box.value() ? 1 : 0);
        const std::uint32_t color = mark_if(unit.list_index() != c.g.image.cfg_bit[3]);
        unit.set_fore_color(color);
        box.set_fore_color(color);
    } else {
        box.set_fore_color(mark_if(box.value() != c.g.image.cfg_bit[static_cast<std::size_t>(index)]));
    }
    UpdateApplyButton(c, 3);
}

void cmb_bit_cfg_Click(Context& c, int index) {
    auto& list = c.frm.cmb_bit_cfg(index);
    if (list.list_index() < 0) return;  // nothing chosen: nothing to follow
    c.frm.chk_cfg(index).set_value(list.list_index());
}

void chk_inp_bit_Click(Context& c, int index) {
    auto& box = c.frm.chk_inp_bit(index);
    auto& ref = c.g.image.inp_bit[static_cast<std::size_t>(index)];
    box.set_fore_color(mark_if(box.value() != ref));
    // The reference of an LED coil is the value before the last click.
    ref = static_cast<std::int16_t>(box.value());
    UpdateApplyButton(c, 4);
}

}  // namespace vor3::ui
