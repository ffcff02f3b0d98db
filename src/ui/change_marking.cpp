#include "ui/change_marking.h"

#include "model/captions.h"
#include "model/numbers.h"
#include "ui/field_rules.h"

namespace vor3::ui {

namespace {

std::uint32_t mark_if(bool differs) { return differs ? form::kChangeMark : form::kNormalText; }

}  // namespace

void paint_field(Context& c, model::FieldArray array, int index) {
    const bool config = array == model::FieldArray::txt_data_cfg;
    form::TextBox& field = config ? c.frm.txt_data_cfg(index) : c.frm.txt_data_in(index);
    const std::string& sep = c.g.lang.decimal_sep;
    const auto v = model::locale_number(field.text(), sep);
    if (!v) return;
    const auto& image = c.g.image;
    const double ref = config       ? image.cfg_value[static_cast<std::size_t>(index)]
                       : index <= 2 ? image.in_value[static_cast<std::size_t>(index)]
                                    : 0.0;
    // The range always; a value the sensor holds outside it says so too.
    std::string tip = range_tip(c, array, index);
    std::uint32_t color = mark_if(*v != ref);
    const auto range = accepted_range(c, array, index);
    if (color != form::kChangeMark && range && (*v < range->lo || *v > range->hi)) {
        color = form::kOutsideRange;
        tip += "\n" + model::caption(
                          model::Caption::tip_outside_range, c.g.lang.language,
                          {field.text(), model::format_number(range->lo, sep), model::format_number(range->hi, sep)});
    }
    field.set_fore_color(color);
    field.set_tool_tip(tip);
}

void UpdateApplyButton(Context& c, MarkGroup group) {
    auto& f = c.frm;
    if (f.chk_read_out.value() == 0) f.set_parameter.set_enabled(group_marked(f, group));
}

void ResetUnitCombo(Context& c) {
    // The list shows the unit its hidden coil holds. Opening the port must
    // never change or mark a value: a list already showing one stays.
    auto& unit = c.frm.cmb_bit_cfg(3);
    const int coil = c.frm.chk_cfg(3).value();
    if (unit.list_index() < 0 && coil != form::kGrayed) unit.set_list_index(coil ? 1 : 0);
}

void chk_cfg_Click(Context& c, int index) {
    auto& f = c.frm;
    auto& box = f.chk_cfg(index);
    if (index == 3) {
        auto& unit = f.cmb_bit_cfg(3);
        // A coil not read shows no unit.
        unit.set_list_index(box.value() == form::kGrayed ? -1 : box.value() ? 1 : 0);
        const std::uint32_t color = mark_if(box.value() != c.g.image.cfg_bit[3]);
        unit.set_fore_color(color);
        box.set_fore_color(color);
    } else {
        box.set_fore_color(mark_if(box.value() != c.g.image.cfg_bit[static_cast<std::size_t>(index)]));
    }
    UpdateApplyButton(c, MarkGroup::ConfigCoils);
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
    UpdateApplyButton(c, MarkGroup::LedCoils);
}

}  // namespace vor3::ui
