#pragma once
#include "win32/windows_api.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/controls.h"
#include "form/grid.h"

namespace vor3::win32 {

// The model's colour as Windows draws it: a system colour (0x800000NN) is
// that system colour; any other is already 0x00BBGGRR.
COLORREF to_colorref(std::uint32_t color);

// Runs a model call from a window message: the behaviour must not throw
// into the message loop, so anything it lets escape is logged here.
void guarded(const std::function<void()>& call);

// Something that answers the window messages of a window of the view
// (kept in the window's GWLP_USERDATA by view_window_proc).
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    // True when the message was handled; `result` is then its answer.
    virtual bool message(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
};

// The window procedure of every window the view registers: it hands each
// message to the window's target, else to DefWindowProcW. The target is
// passed as lpCreateParams of CreateWindowExW.
LRESULT CALLBACK view_window_proc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

// Ties model controls to their windows. Each bind copies the control into
// the window now and on every change the model reports, and turns what the
// user does with the window into the model's calls: typing is a key press
// then a change (keys go through TextBox::type_key and the field is
// redrawn from the model), leaving a field is focus lost, a click is a
// click. Setting a window's state from here raises no notification that
// reaches the model (Windows sends none for CB_SETCURSEL, BM_SETCHECK or
// TCM_SETCURSEL, and EN_CHANGE is not listened to), so a change event fires
// only on a real change in the model.
//
// Windows has no nesting of a group box and what it frames (they are
// siblings), so enabled and visible are the model's effective ones: a
// disabled or hidden frame disables or hides what is inside without
// touching the children's own state.
//
// The windows that hold bound controls pass their messages to message()
// first. Destroying the binder unhooks everything, so it must die before
// the model it binds.
class Binder : public MessageTarget {
public:
    Binder() = default;
    ~Binder() override;
    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;

    // Enabled and visible only: pictures, plain containers.
    void plain(form::Control& control, HWND window);
    // A frame (BS_GROUPBOX): its title; its state passes to what it holds.
    void frame(form::Container& control, HWND box);
    void label(form::Control& control, HWND label);
    void text_box(form::TextBox& control, HWND edit);
    void button(form::Button& control, HWND button);
    // BS_3STATE: the binder decides the next state as a tri-state box
    // shows "not read" until it is clicked.
    void check_box(form::CheckBox& control, HWND box);
    // CBS_DROPDOWNLIST with CBS_OWNERDRAWFIXED (drawn in the model's
    // colour), or CBS_DROPDOWN for an editable list.
    void combo_box(form::ComboBox& control, HWND combo);
    // A LISTBOX with LBS_NOTIFY: a list shown open.
    void list_box(form::ListBox& control, HWND list);
    void progress(form::ProgressBar& control, HWND bar);
    // A list view in report style (LVS_REPORT | LVS_SHOWSELALWAYS): the
    // headers, the rows and the selection; the user's selection and double
    // click go to the model.
    void grid(form::Grid& control, HWND list);
    // A tab control and the page windows it switches between.
    void tab(form::TabControl& control, HWND tabs, std::vector<HWND> pages);
    // An up-down control without a buddy: its presses, moves and releases
    // go to the model, which repeats the step by its own timer.
    void spin(form::UpDown& control, HWND updown);
    // A SysLink control: activating its link is a click.
    void link(form::LinkLabel& control, HWND link);
    // Paints `label` (bound to `label_control`) with the change mark while
    // `marked` carries it. Bind both controls first.
    void mark_row(form::Control& marked, form::Control& label_control, HWND label);
    // Any other binding: `sync` runs now and on every change of `control`.
    void custom(form::Control& control, std::function<void()> sync);

    // The menu bar of `window` from the model's items: rebuilt whenever one
    // of them changes (Windows menus have no hidden items). `shortcuts`
    // names the key shown beside an item ("Strg+O").
    void menu_bar(HWND window, form::Control& owner, std::vector<form::MenuItem*> items,
                  std::function<std::string(const form::MenuItem&)> shortcut);
    // The command id a menu item was given, for accelerator tables.
    WORD command_of(const form::MenuItem& item) const;

    // Every bound control copied again: after a frame's or window's state
    // changed, and for tests.
    void sync_all();
    // While held, the model's changes are not copied (the view measures
    // the model's texts in both languages); releasing copies everything.
    void hold(bool on) {
        held_ = on;
        if (!on) sync_all();
    }
    // Calls sync_all when the effective state (enabled, visible) of
    // `control` differs from the last time it was asked about.
    void pass_state_on(const form::Control& control);

    bool message(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    // The item height of the owner-drawn lists (WM_MEASUREITEM comes
    // before the list is bound).
    void set_item_height(int pixels) { item_height_ = pixels; }
    int item_height() const { return item_height_; }

    // The tip the window's tool tip holds now (for tests).
    std::string tip_of(HWND window) const;

private:
    struct Bound {
        form::Control* control = nullptr;
        std::function<void(UINT code)> on_command;  // WM_COMMAND / WM_NOTIFY of the window
        std::function<COLORREF()> text_color;
        std::function<COLORREF()> back_color;  // none: the window's face
    };
    Bound& bind(form::Control& control, HWND window, std::function<void()> sync);
    // The enabled and visible states of the bound windows, before the rest
    // of sync_all.
    void sync_states_drawn_once();
    void build_menu();
    // The control's tip on its window: a tool is added for the first tip
    // and keeps the latest one.
    void show_tip(HWND window, const std::string& tip);
    bool color(HDC dc, HWND window, LRESULT& result);
    HBRUSH brush(COLORREF color);

    friend LRESULT CALLBACK edit_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    friend LRESULT CALLBACK spin_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    friend LRESULT CALLBACK combo_edit_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    std::vector<form::Control*> hooked_;
    std::map<form::Control*, std::function<void()>> syncs_;
    std::vector<form::Control*> order_;  // syncs in binding order
    std::map<HWND, Bound> windows_;
    std::map<COLORREF, HBRUSH> brushes_;
    bool syncing_all_ = false;
    bool held_ = false;
    std::map<const form::Control*, std::pair<bool, bool>> passed_;
    int item_height_ = 16;
    std::map<HWND, HWND> tip_windows_;  // the tool tip control of each top-level window
    std::map<HWND, std::string> tips_shown_;

    struct Menu {
        HWND window = nullptr;
        form::Control* owner = nullptr;
        std::vector<form::MenuItem*> items;
        std::function<std::string(const form::MenuItem&)> shortcut;
        std::map<WORD, form::MenuItem*> commands;
        std::map<const form::MenuItem*, WORD> ids;
        std::string shown;  // what the bar shows, to build it only when that changes
    } menu_;
};

}  // namespace vor3::win32
