#pragma once
#include "win32/windows_api.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/program.h"
#include "win32/binder.h"
#include "win32/dialogs.h"
#include "win32/placement.h"
#include "win32/widget_factory.h"

namespace vor3::win32 {

class AboutView;
class BusView;
class ScanView;
class StateView;
class TrafficView;
class TrendView;
class RegisterView;

// The configuration window of one program, with its status window and
// about box: the native Win32 view of the model. It only mirrors the
// program's controls and passes the user's actions on. Closing it unloads
// the windows and ends the program (ctx.end_program).
class ConfigView : public MessageTarget {
public:
    explicit ConfigView(app::Program& program);
    ~ConfigView() override;
    ConfigView(const ConfigView&) = delete;
    ConfigView& operator=(const ConfigView&) = delete;

    HWND window() const { return window_; }
    // A window of the configuration window by its control's name
    // ("txt_data_cfg_4", "SSTab1"); nullptr when there is none.
    HWND find(const std::string& name) const { return make_.find(name); }
    const std::map<std::string, HWND>& windows() const { return make_.windows(); }
    // The other windows, made when first asked for.
    StateView& state_view();
    AboutView& about_view();
    ScanView& scan_view();
    TrafficView& traffic_view();
    BusView& bus_view();
    TrendView& trend_view();
    RegisterView& register_view();
    Binder& binder() { return binder_; }
    HACCEL accelerators() const { return accelerators_; }
    const Fonts& fonts() const { return fonts_; }

    // Sizes the window for both languages and shows it in the middle of
    // its screen's work area; on a screen too small for it, with its
    // top-left corner on the screen.
    void show_centered();
    // Called when a message waits for the message loop (Win32MessageBox).
    std::function<void()> show_waiting_messages;

    bool message(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void build();
    void build_menus();
    void place_all();
    void fit_both_languages();
    // The window went to a screen of another resolution: fonts, sizes and
    // icons follow it, and it takes the place Windows suggests.
    void change_dpi(UINT dpi, const RECT& suggested);
    void make_icons();
    void warm_up_disabling();
    void close();
    void return_focus();

    app::Program& program_;
    Fonts fonts_;
    // Destroyed before the windows it binds and the model.
    Binder binder_;
    WidgetFactory make_;
    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HWND pages_[2] = {};
    HACCEL accelerators_ = nullptr;
    HICON big_icon_ = nullptr;
    HICON small_icon_ = nullptr;
    HWND focus_before_transfer_ = nullptr;
    std::unique_ptr<StateView> state_;
    std::unique_ptr<AboutView> about_;
    std::unique_ptr<ScanView> scan_;
    std::unique_ptr<TrafficView> traffic_;
    std::unique_ptr<BusView> bus_;
    std::unique_ptr<TrendView> trend_;
    std::unique_ptr<RegisterView> registers_;
    std::optional<ModalTimers> modal_;
    bool fitted_ = false;
    bool closing_ = false;
};

}  // namespace vor3::win32
