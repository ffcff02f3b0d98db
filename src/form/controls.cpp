#include "form/controls.h"

#include <algorithm>

namespace vor3::form {

void Control::set_enabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    notify();
}

bool Control::effectively_enabled() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void Control::set_visible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    notify();
}

void Control::set_caption(const std::string& text) {
    if (caption_ == text) return;
    caption_ = text;
    notify();
}

void Control::set_fore_color(std::uint32_t color) {
    if (fore_color_ == color) return;
    fore_color_ = color;
    notify();
}

void Control::set_tool_tip(const std::string& text) {
    if (tool_tip_ == text) return;
    tool_tip_ = text;
    notify();
}

void TextBox::set_text(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    notify();
    if (on_change) on_change(index());
}

namespace {

bool continuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

// Clamps a selection to the text and to whole UTF-8 characters.
void clamp_selection(const std::string& t, std::size_t& start, std::size_t& length) {
    if (start > t.size()) start = t.size();
    while (start > 0 && start < t.size() && continuation(t[start])) --start;
    std::size_t end = start + std::min(length, t.size() - start);
    while (end < t.size() && continuation(t[end])) ++end;
    length = end - start;
}

}  // namespace

std::size_t TextBox::type_key(int key, std::size_t sel_start, std::size_t sel_length) {
    clamp_selection(text_, sel_start, sel_length);
    if (!editable()) return sel_start;
    if (on_key_press) on_key_press(index(), key);
    if (key == 0) return sel_start;
    std::string t = text_;
    std::size_t caret = sel_start;
    if (key == 8 || key == 127) {
        if (sel_length > 0) {
            t.erase(sel_start, sel_length);
        } else if (key == 8 && sel_start > 0) {
            std::size_t from = sel_start - 1;
            while (from > 0 && continuation(t[from])) --from;
            t.erase(from, sel_start - from);
            caret = from;
        } else if (key == 127 && sel_start < t.size()) {
            std::size_t to = sel_start + 1;
            while (to < t.size() && continuation(t[to])) ++to;
            t.erase(sel_start, to - sel_start);
        } else {
            return caret;
        }
    } else if (key >= 32 && key < 127) {
        t.erase(sel_start, sel_length);
        if (max_length_ > 0 && static_cast<int>(t.size()) >= max_length_) return sel_start;
        t.insert(sel_start, 1, static_cast<char>(key));
        caret = sel_start + 1;
    } else {
        return sel_start;
    }
    set_text(t);
    return caret;
}

std::size_t TextBox::paste(const std::string& text, std::size_t sel_start, std::size_t sel_length) {
    clamp_selection(text_, sel_start, sel_length);
    if (!editable()) return sel_start;
    std::string t = text_;
    t.erase(sel_start, sel_length);
    std::string piece = text;
    if (max_length_ > 0) {
        const std::size_t room = static_cast<std::size_t>(max_length_) > t.size() ? max_length_ - t.size() : 0;
        if (piece.size() > room) piece.resize(room);
        while (!piece.empty() && (static_cast<unsigned char>(piece.back()) & 0x80)) piece.pop_back();
    }
    t.insert(sel_start, piece);
    set_text(t);
    return sel_start + piece.size();
}

void CheckBox::set_value(int v) {
    if (v == value_) return;
    value_ = v;
    notify();
    if (on_click) on_click(index());
}

void ComboBox::clear() {
    items_.clear();
    list_index_ = -1;
    notify();
}

void ComboBox::add_item(const std::string& text) {
    items_.push_back(text);
    notify();
}

void ComboBox::set_list_index(int i) {
    if (i < -1 || i >= list_count()) throw std::out_of_range("list index out of range");
    if (i == list_index_) return;
    list_index_ = i;
    notify();
    if (on_click) on_click(index());
}

std::string ComboBox::text() const {
    return list_index_ >= 0 ? items_[static_cast<std::size_t>(list_index_)] : std::string();
}

}  // namespace vor3::form
