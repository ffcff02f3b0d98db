#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace vor3::form {

// Colours as the behaviour stores them: 255 is the change mark (pure red),
// 0x80000012 the system colour for button text (a field's normal colour).
constexpr std::uint32_t kChangeMark = 255;
constexpr std::uint32_t kNormalText = 0x80000012u;
constexpr std::uint32_t kScrollBarColor = 0x80000000u;
constexpr std::uint32_t kWindowWhite = 0x00FFFFFFu;
// A value the sensor holds outside the range its field takes (dark orange):
// shown as it is, never corrected unasked.
constexpr std::uint32_t kOutsideRange = 0x000066CCu;
// The system colour of a button's face: the background of a field that
// shows a value the user cannot change.
constexpr std::uint32_t kButtonFace = 0x8000000Fu;

// The keys a key-down event names (a key, not the character it types).
constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

class Container;

// Properties common to every control. Any change of a property that a view
// shows calls `changed`, which the view uses to copy the model into its
// widget; handlers of the behaviour hang on the control-specific events.
class Control {
public:
    explicit Control(int index = 0) : index_(index) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int index() const { return index_; }

    bool enabled() const { return enabled_; }
    void set_enabled(bool on);
    // Enabled and every containing frame enabled: what the user can operate.
    bool effectively_enabled() const;

    bool visible() const { return visible_; }
    void set_visible(bool on);

    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& text);

    std::uint32_t fore_color() const { return fore_color_; }
    void set_fore_color(std::uint32_t color);

    const std::string& tool_tip() const { return tool_tip_; }
    void set_tool_tip(const std::string& text);

    Control* parent() const { return parent_; }
    void set_parent(Control* parent) { parent_ = parent; }

    std::function<void()> changed;  // for views

protected:
    void notify() {
        if (changed) changed();
    }

private:
    int index_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string caption_;
    std::uint32_t fore_color_ = kNormalText;
    std::string tool_tip_;
    Control* parent_ = nullptr;
};

// A frame: disabling it disables what it holds without touching the
// children's own enabled state.
class Container : public Control {
public:
    using Control::Control;
};

class Label : public Control {
public:
    using Control::Control;
};

// A label the user can click, such as an e-mail address or a web link.
class LinkLabel : public Label {
public:
    using Label::Label;
    std::function<void(int)> on_click;
    void press() {
        if (effectively_enabled() && on_click) on_click(index());
    }
};

class Button : public Control {
public:
    using Control::Control;
    std::function<void(int)> on_click;
    // A user's press: only an operable button reacts.
    void press() {
        if (effectively_enabled() && on_click) on_click(index());
    }
};

class TextBox : public Control {
public:
    using Control::Control;

    const std::string& text() const { return text_; }
    // Raises the change event when the text really changes, also when code
    // sets it: the behaviour relies on that.
    void set_text(const std::string& text);

    int max_length() const { return max_length_; }  // 0: no limit
    void set_max_length(int n) { max_length_ = n; }

    std::uint32_t back_color() const { return back_color_; }
    void set_back_color(std::uint32_t c) {
        back_color_ = c;
        notify();
    }

    // Shown as it is, not greyed, but the user cannot change it.
    bool read_only() const { return read_only_; }
    void set_read_only(bool on) {
        if (read_only_ == on) return;
        read_only_ = on;
        notify();
    }
    // What the user can change: operable and not read-only.
    bool editable() const { return effectively_enabled() && !read_only_; }
    // The background a view draws: a read-only field on the window's white
    // shows the button face, as a field the user cannot change does.
    std::uint32_t shown_back_color() const {
        return read_only_ && back_color_ == kWindowWhite ? kButtonFace : back_color_;
    }

    // A user's typing: key press first (the handler may discard the key by
    // setting it to 0), then the edit and its change event. The key replaces
    // the selection [sel_start, sel_start + sel_length) (byte offsets; by
    // default the caret is at the end); Backspace (8) and Delete (127)
    // remove the selection or the character before / after the caret.
    // Returns the caret's new offset.
    std::size_t type_key(int key, std::size_t sel_start = std::string::npos, std::size_t sel_length = 0);
    // Pasted text skips the key filter (the change and focus-lost rules
    // still apply) but not the maximum length.
    std::size_t paste(const std::string& text, std::size_t sel_start = std::string::npos, std::size_t sel_length = 0);
    void lose_focus() {
        if (on_lost_focus) on_lost_focus(index());
    }
    // A key that types no character (an arrow key), and the mouse wheel
    // turned over the field by whole notches (away from the user is up);
    // only a field the user can change hears them.
    void key_down(int key) {
        if (editable() && on_key_down) on_key_down(index(), key);
    }
    void wheel(int notches) {
        if (editable() && notches != 0 && on_wheel) on_wheel(index(), notches);
    }

    std::function<void(int)> on_change;
    std::function<void(int, int&)> on_key_press;
    std::function<void(int)> on_lost_focus;
    std::function<void(int, int)> on_key_down;  // index, key
    std::function<void(int, int)> on_wheel;     // index, notches

private:
    std::string text_;
    int max_length_ = 0;
    std::uint32_t back_color_ = kWindowWhite;
    bool read_only_ = false;
};

// The value of a check box whose state is not known (not read): shown
// greyed, neither ticked nor cleared.
constexpr int kGrayed = 2;

class CheckBox : public Control {
public:
    using Control::Control;
    int value() const { return value_; }  // 0, 1 or kGrayed
    // Raises the click event when the value really changes.
    void set_value(int v);
    std::function<void(int)> on_click;

private:
    int value_ = 0;
};

class ComboBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    void clear();
    void add_item(const std::string& text);
    int list_count() const { return static_cast<int>(items_.size()); }
    int list_index() const { return list_index_; }  // -1: no selection
    // Raises the click event when the selection really changes.
    void set_list_index(int i);
    std::string text() const;
    std::function<void(int)> on_click;

    // A list the user may also type an entry into.
    bool editable = false;
    // The user opens the list: its handler may fill it afresh before it shows.
    void drop_down() {
        if (effectively_enabled() && on_drop_down) on_drop_down(index());
    }
    // The user typed a text into an editable list and confirmed it (Enter,
    // or leaving the list).
    void enter_text(const std::string& text) {
        if (effectively_enabled() && on_text_entered) on_text_entered(index(), text);
    }
    std::function<void(int)> on_drop_down;
    std::function<void(int, const std::string&)> on_text_entered;

private:
    std::vector<std::string> items_;
    int list_index_ = -1;
};

// A list shown open, for choosing one of its entries.
class ListBox : public ComboBox {
public:
    using ComboBox::ComboBox;
};

class UpDown : public Control {
public:
    using Control::Control;
    double min = 0;
    double max = 10;
    double width = 17;  // size in the units of the pointer positions
    double height = 25;
    std::function<void(int)> on_up;
    std::function<void(int)> on_down;
    std::function<void(int, double, double)> on_mouse_down;  // index, x, y
    std::function<void(int, double, double)> on_mouse_move;
    std::function<void(int)> on_mouse_up;
};

class ProgressBar : public Control {
public:
    using Control::Control;
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    void set_range(int lo, int hi) {
        min_ = lo;
        max_ = hi;
        notify();
    }
    void set_value(int v) {
        value_ = v;
        notify();
    }

private:
    int min_ = 0, max_ = 100, value_ = 0;
};

class MenuItem : public Control {
public:
    using Control::Control;
    std::vector<MenuItem*> children;
    std::function<void(int)> on_click;
    void press() {
        if (effectively_enabled() && on_click) on_click(index());
    }
};

// A tab control; `tab` is the page shown. Changing it raises the click
// event (the page switch).
class TabControl : public Control {
public:
    using Control::Control;
    std::vector<std::string> tab_captions;
    int tab() const { return tab_; }
    void set_tab(int t) {
        if (t == tab_) return;
        tab_ = t;
        notify();
        if (on_click) on_click(index());
    }
    void set_tab_caption(int t, const std::string& text) {
        if (t < 0) return;
        if (static_cast<std::size_t>(t) >= tab_captions.size()) tab_captions.resize(static_cast<std::size_t>(t) + 1);
        tab_captions[static_cast<std::size_t>(t)] = text;
        notify();
    }
    std::function<void(int)> on_click;

private:
    int tab_ = 0;
};

// An indexed control array; indices need not be consecutive.
template <class T>
class ControlArray {
public:
    T& add(int index) {
        auto [it, fresh] = items_.try_emplace(index, index);
        if (!fresh) throw std::logic_error("control index used twice");
        return it->second;
    }
    T& operator()(int index) {
        auto it = items_.find(index);
        if (it == items_.end()) throw std::out_of_range("no control with this index");
        return it->second;
    }
    const T& operator()(int index) const {
        auto it = items_.find(index);
        if (it == items_.end()) throw std::out_of_range("no control with this index");
        return it->second;
    }
    bool has(int index) const { return items_.count(index) != 0; }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    // One handler serves the whole array and receives the index.
    template <class F>
    void for_each(F f) {
        for (auto& [i, c] : items_) f(c);
    }

private:
    std::map<int, T> items_;
};

// A window: its enabled state disables everything in it.
class Window : public Container {
public:
    using Container::Container;
    bool loaded() const { return loaded_; }
    void set_loaded(bool on) {
        loaded_ = on;
        notify();
    }
    // A key pressed in the window that none of its controls took.
    void key_down(int key) {
        if (loaded_ && on_key_down) on_key_down(key);
    }
    std::function<void(int)> on_key_down;

private:
    bool loaded_ = false;
};

}  // namespace vor3::form
