#include "app/field_entry.h"

#include <cstdio>

#include "model/captions.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "ui/change_marking.h"

namespace vor3::app {

namespace {

using model::FieldArray;

using model::Caption;

std::string say(const Program& p, Caption text, std::initializer_list<std::string> args) {
    return model::caption(text, p.g.lang.language, args);
}

struct Named {
    FieldArray array;
    int index;
};

std::optional<Named> parse_name(const std::string& name) {
    const auto open = name.find('(');
    if (open == std::string::npos || name.size() < open + 3 || name.back() != ')') return std::nullopt;
    const std::string digits = name.substr(open + 1, name.size() - open - 2);
    if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int index = std::stoi(digits);
    const std::string array = name.substr(0, open);
    for (const auto& f : model::field_map())
        if (array == model::array_name(f.array) && index == f.index) return Named{f.array, f.index};
    return std::nullopt;
}

// The page that shows a control: the one on which it can be operated.
void show_page_of(Program& p, const form::Control& c) {
    for (int tab : {0, 1}) {
        p.frm_config.SSTab1.set_tab(tab);
        if (c.effectively_enabled()) return;
    }
}

// A script cannot know the separator the user's settings put in force:
// "." and "," both stand for it. The fields group no thousands, and a value
// the field would read otherwise than written is refused, never sent.
std::string with_separator(const Program& p, std::string value) {
    const std::string& sep = p.g.lang.decimal_sep;
    if (!sep.empty())
        for (char& ch : value)
            if (ch == '.' || ch == ',') ch = sep[0];
    return value;
}

std::optional<std::string> type_into(Program& p, form::TextBox& box, const std::string& name, std::string value) {
    value = with_separator(p, value);
    show_page_of(p, box);
    if (!box.editable()) return say(p, Caption::entry_not_editable, {name});
    // Select everything, then type: the first key replaces the old text.
    std::size_t caret = box.type_key(127, 0, box.text().size());
    for (char ch : value) {
        const std::string before = box.text();
        caret = box.type_key(static_cast<unsigned char>(ch), caret, 0);
        if (box.text() == before) return say(p, Caption::entry_key_refused, {name, std::string(1, ch), value});
    }
    box.lose_focus();
    if (box.text() != value) return say(p, Caption::entry_corrected, {name, value, box.text()});
    return std::nullopt;
}

std::optional<std::string> tick(Program& p, const Named& n, const std::string& name, const std::string& value) {
    if (value != "0" && value != "1") return say(p, Caption::entry_bit_only, {name});
    auto& f = p.frm_config;
    const int v = value[0] - '0';
    // The hidden unit coil is chosen through the unit list in its place.
    if (n.array == FieldArray::chk_cfg && f.cmb_bit_cfg.has(n.index)) {
        show_page_of(p, f.cmb_bit_cfg(n.index));
        f.cmb_bit_cfg(n.index).set_list_index(v);
        return std::nullopt;
    }
    auto& box = n.array == FieldArray::chk_cfg ? f.chk_cfg(n.index) : f.chk_inp_bit(n.index);
    show_page_of(p, box);
    box.set_value(v);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> enter_value(Program& p, const std::string& name, const std::string& value) {
    const auto n = parse_name(name);
    if (!n) return say(p, Caption::entry_no_field, {name});
    const auto& entry = model::field(n->array, n->index);
    const bool unit_coil = n->array == FieldArray::chk_cfg && p.frm_config.cmb_bit_cfg.has(n->index);
    if (n->array == FieldArray::txt_data_out || (entry.hidden && !unit_coil))
        return say(p, Caption::entry_read_only, {name});
    auto& f = p.frm_config;
    switch (n->array) {
    case FieldArray::txt_data_cfg: return type_into(p, f.txt_data_cfg(n->index), name, value);
    case FieldArray::txt_data_in: return type_into(p, f.txt_data_in(n->index), name, value);
    default: return tick(p, *n, name, value);
    }
}

std::optional<std::string> field_value(const Program& p, const std::string& name) {
    const auto n = parse_name(name);
    if (!n) return std::nullopt;
    const auto& f = p.frm_config;
    switch (n->array) {
    case FieldArray::txt_data_cfg: return f.txt_data_cfg(n->index).text();
    case FieldArray::txt_data_in: return f.txt_data_in(n->index).text();
    case FieldArray::txt_data_out: return f.txt_data_out(n->index).text();
    case FieldArray::chk_cfg: return std::to_string(f.chk_cfg(n->index).value());
    case FieldArray::chk_inp_bit: return std::to_string(f.chk_inp_bit(n->index).value());
    }
    return std::nullopt;
}

bool field_marked(const Program& p, const std::string& name) {
    const auto n = parse_name(name);
    return n && ui::is_marked(p.frm_config, n->array, n->index);
}

bool same_value(const Program& p, const std::string& a, const std::string& b) {
    const std::string dotted = with_separator(p, b);
    const std::string& sep = p.g.lang.decimal_sep;
    const auto x = model::locale_number(a, sep), y = model::locale_number(dotted, sep);
    if (x && y) return *x == *y;
    return a == dotted;
}

}  // namespace vor3::app
