#pragma once
#include "win32/windows_api.h"

#include "form/frm_config.h"
#include "win32/binder.h"
#include "win32/widget_factory.h"

namespace vor3::win32 {

// The status window of a running transfer: a small window over the main
// window, shown while the model has it loaded and visible. The transfer
// or its "Abbruch" button ends it; its close box (and Escape) cancels as
// "Abbruch" does where that is offered, and does nothing otherwise.
class StateView : public MessageTarget {
public:
    StateView(form::FrmState& state, Binder& binder, const Fonts& fonts, HWND owner);
    ~StateView() override;
    StateView(const StateView&) = delete;
    StateView& operator=(const StateView&) = delete;

    HWND window() const { return window_; }
    HWND find(const std::string& name) const { return make_.find(name); }
    const std::map<std::string, HWND>& windows() const { return make_.windows(); }
    bool message(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // The fonts changed (Fonts::set_dpi).
    void refont() {
        make_.refont();
        if (IsWindowVisible(window_)) place(false);
    }

private:
    void follow_model();
    // Sizes the window for its texts; `centre` also puts it over the main window.
    void place(bool centre);

    form::FrmState& state_;
    Binder& binder_;
    WidgetFactory make_;
    HWND owner_;
    HWND window_ = nullptr;
};

}  // namespace vor3::win32
