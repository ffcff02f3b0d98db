#include "ui/keep_edits.h"

#include "model/captions.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "ui/change_marking.h"
#include "ui/not_read.h"

namespace vor3::ui {

namespace {

using model::FieldArray;

struct Parts {
    bool config = true;    // registers 0..10 and the configuration coils
    bool external = true;  // external values and LED coils
};

Parts parts_replaced(const Context& c, Replacing what) {
    if (what != Replacing::SensorLine) return {};
    Parts parts{false, false};
    for (const auto& s : sensor_line_drops(c)) switch (s.request_kind) {
        case model::kReadRegisterBlock: parts.config |= s.first < model::kMeasuredFirst; break;
        case model::kReadConfigCoils: parts.config = true; break;
        case model::kReadExternalValues:
        case model::kReadLedCoils: parts.external = true; break;
        default: break;
        }
    return parts;
}

std::string bit_text(const form::FrmConfig& f, int index, int bit) {
    // The unit coil is chosen from a list: name the entry.
    if (f.cmb_bit_cfg.has(index)) {
        const auto& items = f.cmb_bit_cfg(index).items();
        if (bit >= 0 && bit < static_cast<int>(items.size())) return items[static_cast<std::size_t>(bit)];
    }
    return bit == 0 || bit == 1 ? std::to_string(bit) : std::string();
}

}  // namespace

std::vector<EditedValue> edits_replaced(const Context& c, Replacing what) {
    const auto& f = c.frm;
    const auto& image = c.g.image;
    const std::string& sep = c.g.lang.decimal_sep;
    const bool english = c.g.lang.language == model::kEnglish;
    const Parts parts = parts_replaced(c, what);
    std::vector<EditedValue> edits;
    for (const auto& field : model::field_map()) {
        const auto at = static_cast<std::size_t>(field.index);
        const bool external = field.array == FieldArray::txt_data_in || field.array == FieldArray::chk_inp_bit;
        if (!(external ? parts.external : parts.config) || !is_marked(f, field.array, field.index)) continue;
        EditedValue e{english ? field.caption_en : field.caption_de, {}, {}};
        switch (field.array) {
        case FieldArray::txt_data_cfg:
            e = {e.caption, model::format_number(image.cfg_value[at], sep), f.txt_data_cfg(field.index).text()};
            break;
        case FieldArray::txt_data_in:
            e = {e.caption, model::format_number(image.in_value[at], sep), f.txt_data_in(field.index).text()};
            break;
        case FieldArray::chk_cfg:
            e = {e.caption, bit_text(f, field.index, image.cfg_bit[at]),
                 bit_text(f, field.index, f.chk_cfg(field.index).value())};
            break;
        case FieldArray::chk_inp_bit: {
            // An LED coil's mark compares with the value before its last click.
            const int now = f.chk_inp_bit(field.index).value();
            e = {e.caption, bit_text(f, -1, 1 - now), bit_text(f, -1, now)};
            break;
        }
        case FieldArray::txt_data_out: break;
        }
        edits.push_back(std::move(e));
    }
    return edits;
}

bool may_replace_edits(Context& c, Replacing what) {
    if (!c.ask_before_dropping_edits) return true;
    const auto edits = edits_replaced(c, what);
    if (edits.empty()) return true;
    using model::Caption;
    const std::string& l = c.g.lang.language;
    std::string list;
    for (const auto& e : edits) list += "\n" + model::caption(Caption::edited_value, l, {e.caption, e.before, e.after});
    return c.confirm.confirm(
        model::caption(Caption::confirm_drop_title, l), model::caption(Caption::confirm_drop_text, l, {list}),
        model::caption(Caption::confirm_drop_ok, l), model::caption(Caption::confirm_drop_cancel, l));
}

bool may_open_port(Context& c, int list) {
    auto& open_close = c.frm.Combo_Port(6);
    if (list != 6 || open_close.list_index() != 1 || c.port.is_open()) return true;
    if (may_replace_edits(c, Replacing::SensorLine)) return true;
    // Back to "close" runs the port settings as a closed port: nothing sent.
    open_close.set_list_index(0);
    return false;
}

}  // namespace vor3::ui
