#include "form/change_marks.h"

namespace vor3::form {

bool is_marked(const Control& c) { return c.fore_color() == kChangeMark; }

bool is_marked(const FrmConfig& f, model::FieldArray array, int index) {
    using model::FieldArray;
    switch (array) {
    case FieldArray::txt_data_cfg: return is_marked(f.txt_data_cfg(index));
    case FieldArray::txt_data_in: return is_marked(f.txt_data_in(index));
    case FieldArray::txt_data_out: return false;
    case FieldArray::chk_cfg:
        return is_marked(f.cmb_bit_cfg.has(index) ? static_cast<const Control&>(f.cmb_bit_cfg(index))
                                                  : f.chk_cfg(index));
    case FieldArray::chk_inp_bit: return is_marked(f.chk_inp_bit(index));
    }
    return false;
}

void clear_mark(Control& c) { c.set_fore_color(kNormalText); }

bool group_marked(const FrmConfig& f, MarkGroup group) {
    auto any_marked = [](const auto& array, int last) {
        for (int i = 0; i <= last; ++i)
            if (is_marked(array(i))) return true;
        return false;
    };
    const bool all = group == MarkGroup::All;
    return ((all || group == MarkGroup::ConfigRegisters) && any_marked(f.txt_data_cfg, 10)) ||
           ((all || group == MarkGroup::ExternalValues) && any_marked(f.txt_data_in, 2)) ||
           ((all || group == MarkGroup::ConfigCoils) && any_marked(f.chk_cfg, 7)) ||
           ((all || group == MarkGroup::LedCoils) && any_marked(f.chk_inp_bit, 4));
}

}  // namespace vor3::form
