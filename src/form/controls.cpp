#include "form/controls.h"

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

void TextBox::set_text(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    notify();
    if (on_change) on_change(index());
}

void TextBox::type_key(int key) {
    if (!effectively_enabled()) return;
    if (on_key_press) on_key_press(index(), key);
    if (key == 0) return;
    std::string t = text_;
    if (key == 8) {
        if (t.empty()) return;
        // drop one UTF-8 character
        std::size_t n = t.size() - 1;
        while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
        t.erase(n);
    } else if (key >= 32 && key < 127) {
        if (max_length_ > 0 && static_cast<int>(t.size()) >= max_length_) return;
        t.push_back(static_cast<char>(key));
    } else {
        return;
    }
    set_text(t);
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
