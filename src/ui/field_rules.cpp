#include "ui/field_rules.h"

#include "model/captions.h"
#include "model/line_settings.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "ui/change_marking.h"
#include "ui/keep_edits.h"
#include "ui/not_read.h"
#include "ui/port_memory.h"
#include "ui/port_settings.h"
#include "ui/status_line.h"

namespace vor3::ui {

namespace {

constexpr int kMinResponseField = 7;

char separator(const Context& c) { return c.g.lang.decimal_sep.empty() ? ',' : c.g.lang.decimal_sep[0]; }

std::optional<double> number_of(const Context& c, const std::string& text) {
    return model::locale_number(text, c.g.lang.decimal_sep);
}

// Keys a number field accepts: digits, Backspace, Delete, one minus sign
// where allowed and, in a field of tenths, the separator once. There either
// separator key enters the one in force (a German caption over a locale
// with "." must not turn 21,5 into 215); a field of whole units takes
// neither ("1,000" is no thousand).
void filter_number_key(const Context& c, const std::string& text, bool decimals, bool minus_allowed, int& key) {
    const char sep = separator(c);
    if (key == '.' || key == ',') {
        if (!decimals) {
            key = 0;
            return;
        }
        key = static_cast<unsigned char>(sep);
    }
    const bool digit = key >= '0' && key <= '9';
    const bool accepted =
        digit || key == 8 || key == 127 || key == static_cast<unsigned char>(sep) || (minus_allowed && key == '-');
    if (!accepted) {
        key = 0;
        return;
    }
    if (key == static_cast<unsigned char>(sep) && text.find(sep) != std::string::npos) key = 0;
    if (minus_allowed && key == '-' && text.find('-') != std::string::npos) key = 0;
}

bool takes_tenths(model::FieldArray array, int index) {
    for (const auto& f : model::field_map())
        if (f.array == array && f.index == index) return model::scale_of(f.encoding) == 10;
    return false;
}

// A register holds whole units, or tenths for the offsets and the external
// temperature and humidity: a value with more decimals is rounded as the
// write will round it, so that the field shows what the sensor gets.
void keep_register_resolution(Context& c, form::TextBox& field, model::FieldArray array, int index) {
    const auto v = number_of(c, field.text());
    if (!v) return;
    const double scale = model::scale_of(model::field(array, index).encoding);
    const double held = static_cast<double>(model::round_half_even(*v * scale)) / scale;
    if (held != *v) field.set_text(model::format_number(held, c.g.lang.decimal_sep));
}

// What leaving a field did to the value typed, for the status line: the
// text typed and, once the rules are through, the reason they changed it.
struct Left {
    Left(model::FieldArray array, int index, std::string typed) : array(array), index(index), typed(std::move(typed)) {}
    model::FieldArray array;
    int index;
    std::string typed;
    Correction why = Correction::Resolution;
    std::string bound;
    void because(Correction reason, double limit, const Context& c) {
        why = reason;
        bound = model::format_number(limit, c.g.lang.decimal_sep);
    }
    void because(Correction reason) {
        why = reason;
        bound.clear();
    }
    void tell(Context& c, const form::TextBox& field) const {
        if (field.text() == typed) return;
        std::string step = bound;
        if (why == Correction::Resolution)
            step =
                model::format_number(1.0 / model::scale_of(model::field(array, index).encoding), c.g.lang.decimal_sep);
        name_correction(c, array, index, typed, field.text(), why, step);
    }
};

// A field with a spin button keeps to the button's range (the yellow-LED
// threshold takes 800, the CO2 offset -300); a flat bound of 255 would
// silently cut such values before they are written to the sensor.
double config_upper_bound(const Context& c, int index) {
    return c.frm.UpD_txt_cfg.has(index) ? c.frm.UpD_txt_cfg(index).max : 255;
}

// What an external value above its field's range becomes (the range
// itself is the register map's).
constexpr double kExternalOver[] = {3276.7, 1638.3, 3276.7};

const model::FieldSpec& external_field(int index) { return model::field(model::FieldArray::txt_data_in, index); }

}  // namespace

void txt_Modbus_adress_KeyPress(Context&, int& key) {
    if (!((key >= '0' && key <= '9') || key == 8)) key = 0;
}

void txt_Modbus_adress_Change(Context& c) {
    auto& field = c.frm.txt_Modbus_adress;
    const double v = model::leading_number(field.text());
    if (v > model::kLastAddress || v < model::kFirstAddress) {
        c.msg.show(model::caption(model::Caption::msg_address_range, c.g.lang.language));
        field.set_text("1");
        return;
    }
    // Kept edits keep the sensor they were made for.
    const std::string kept = c.g.image.line_address;
    if (!kept.empty() && !may_replace_edits(c, Replacing::SensorLine)) {
        field.set_text(kept);
        return;
    }
    // Another sensor answers now, perhaps at a slower pace than the last:
    // until it is read, allow for the slowest.
    c.g.transfer.min_response_ms = -1;
    // Another address is another sensor.
    note_sensor_line(c);
    hide_stale_warning(c);
    show_status_line(c);
    if (c.port.is_open()) remember_port_settings(c);
}

void txt_data_cfg_KeyPress(Context& c, int index, int& key) {
    filter_number_key(c, c.frm.txt_data_cfg(index).text(), takes_tenths(model::FieldArray::txt_data_cfg, index),
                      index >= 7 && index <= 14, key);
}

void txt_data_cfg_Change(Context& c, int index) {
    auto& f = c.frm;
    auto& field = f.txt_data_cfg(index);
    if (index == 0 || index == 1) f.lbl_cfg_val(index).set_caption(field.text());
    const auto v = number_of(c, field.text());
    if (!v) return;
    // The minimum response time's lower bound waits until the field is
    // left: applied at every key it would turn 10 into 50.
    if (index == kMinResponseField) f.reply_delay_changed = true;
    paint_field(c, model::FieldArray::txt_data_cfg, index);
    UpdateApplyButton(c, MarkGroup::ConfigRegisters);
}

void txt_data_cfg_LostFocus(Context& c, int index) {
    auto& field = c.frm.txt_data_cfg(index);
    Left left{model::FieldArray::txt_data_cfg, index, field.text()};
    if (field.text().empty()) {
        field.set_text("0");
        left.because(Correction::Empty);
        left.tell(c, field);
        return;
    }
    const auto v = number_of(c, field.text());
    if (!v) {
        field.set_text(
            model::format_number(c.g.image.cfg_value[static_cast<std::size_t>(index)], c.g.lang.decimal_sep));
        left.because(Correction::NotANumber);
        left.tell(c, field);
        return;
    }
    // Passing through a field is no edit: a value as the sensor holds it
    // stays, even outside the range.
    if (*v == c.g.image.cfg_value[static_cast<std::size_t>(index)]) return;
    const double lo = config_lower_bound(c, index);
    const bool spin = c.frm.UpD_txt_cfg.has(index);
    const double below = spin ? lo : 0;
    const double hi = config_upper_bound(c, index);
    if (*v > hi) {
        field.set_text(model::format_number(hi, c.g.lang.decimal_sep));
        left.because(Correction::AtMost, hi, c);
    } else if (*v < lo) {
        field.set_text(model::format_number(below, c.g.lang.decimal_sep));
        left.because(spin ? Correction::AtLeast : Correction::Below, lo, c);
        if (index == kMinResponseField) c.g.transfer.reply_delay = static_cast<std::int16_t>(lo);
    }
    keep_register_resolution(c, field, model::FieldArray::txt_data_cfg, index);
    left.tell(c, field);
}

std::optional<Range> accepted_range(const Context& c, model::FieldArray array, int index) {
    if (array == model::FieldArray::txt_data_cfg) {
        if (index < 2 || index > 10) return std::nullopt;
        return Range{config_lower_bound(c, index), config_upper_bound(c, index)};
    }
    if (array == model::FieldArray::txt_data_in && index >= 0 && index <= 2) {
        const auto& f = external_field(index);
        return Range{f.min, f.max};
    }
    return std::nullopt;
}

std::string range_tip(const Context& c, model::FieldArray array, int index) {
    const auto range = accepted_range(c, array, index);
    if (!range) return {};
    const std::string& sep = c.g.lang.decimal_sep;
    const std::string unit = model::field(array, index).unit;
    return model::caption(
        model::Caption::tip_range, c.g.lang.language,
        {model::format_number(range->lo, sep), model::format_number(range->hi, sep), unit.empty() ? unit : " " + unit,
         model::format_number(takes_tenths(array, index) ? 0.1 : 1.0, sep)});
}

void show_range_tips(Context& c) {
    for (auto& [i, field] : c.frm.txt_data_cfg) field.set_tool_tip(range_tip(c, model::FieldArray::txt_data_cfg, i));
    for (auto& [i, field] : c.frm.txt_data_in) field.set_tool_tip(range_tip(c, model::FieldArray::txt_data_in, i));
}

double config_lower_bound(const Context& c, int index) {
    // The spin buttons' limits come from the register map, which also holds
    // the shortest time the sensor needs to answer (5 ms).
    return c.frm.UpD_txt_cfg.has(index) ? c.frm.UpD_txt_cfg(index).min : -255;
}

void txt_data_in_KeyPress(Context& c, int index, int& key) {
    filter_number_key(c, c.frm.txt_data_in(index).text(), takes_tenths(model::FieldArray::txt_data_in, index), true,
                      key);
}

void txt_data_in_Change(Context& c, int index) {
    auto& field = c.frm.txt_data_in(index);
    const auto v = number_of(c, field.text());
    if (!v) return;
    paint_field(c, model::FieldArray::txt_data_in, index);
    UpdateApplyButton(c, MarkGroup::ExternalValues);
}

void txt_data_in_LostFocus(Context& c, int index) {
    auto& field = c.frm.txt_data_in(index);
    const std::string& sep = c.g.lang.decimal_sep;
    // Only the three external values are fields of the sensor's.
    std::optional<Left> left;
    if (index <= 2) left = Left{model::FieldArray::txt_data_in, index, field.text()};
    if (field.text().empty()) {
        field.set_text("0");
        if (left) left->because(Correction::Empty);
    }
    const auto v = number_of(c, field.text());
    if (!v) {
        const double ref = index <= 3 ? c.g.image.in_value[static_cast<std::size_t>(index)] : 0.0;
        field.set_text(model::format_number(ref, sep));
        if (left) {
            left->because(Correction::NotANumber);
            left->tell(c, field);
        }
        return;
    }
    if (index <= 2 && *v == c.g.image.in_value[static_cast<std::size_t>(index)]) {
        if (left) left->tell(c, field);
        return;
    }
    if (index <= 2) {
        const auto& f = external_field(index);
        if (*v > f.max) {
            field.set_text(model::format_number(kExternalOver[index], sep));
            left->because(Correction::Above, f.max, c);
        } else if (*v < f.min) {
            field.set_text("0");
            left->because(Correction::Below, f.min, c);
        }
    }
    if (field.text().empty()) field.set_text("0");
    if (index <= 2) keep_register_resolution(c, field, model::FieldArray::txt_data_in, index);
    if (left) left->tell(c, field);
}

}  // namespace vor3::ui
