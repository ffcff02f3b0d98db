#pragma once
#include <QMainWindow>
#include <QPointer>

#include "app/program.h"
#include "qt/binder.h"

namespace vor3::qt {

class AboutView;
class BusView;
class ScanView;
class TrafficView;
class RegisterView;
class StateView;
class TrendView;

// The configuration window of one program, with its status window. It
// only mirrors the program's controls and passes the user's actions on.
// Closing it unloads the windows and ends the program (ctx.end_program).
class ConfigView : public QMainWindow {
public:
    explicit ConfigView(app::Program& program, QWidget* parent = nullptr);
    ~ConfigView() override;

    StateView& state_view() { return *state_; }
    AboutView& about_view() { return *about_; }
    ScanView& scan_view() { return *scan_; }
    TrafficView& traffic_view() { return *traffic_; }
    TrendView& trend_view() { return *trend_; }
    BusView& bus_view() { return *bus_; }
    RegisterView& register_view() { return *registers_; }
    // Shows the window in the middle of its screen; on a screen too small
    // for it, with its top-left corner on the screen.
    void show_centered();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build_menus();
    void fit_both_languages();
    // Back to the control that had the focus before the window was disabled.
    void return_focus();

    app::Program& program_;
    // Declared after nothing it needs and destroyed before the widgets
    // (which the QMainWindow base deletes), so no binding outlives them.
    Binder binder_;
    StateView* state_ = nullptr;
    AboutView* about_ = nullptr;
    ScanView* scan_ = nullptr;
    TrafficView* traffic_ = nullptr;
    TrendView* trend_ = nullptr;
    BusView* bus_ = nullptr;
    RegisterView* registers_ = nullptr;
    QPointer<QWidget> focus_before_transfer_;
    bool fitted_ = false;
    bool centre_on_show_ = false;
};

}  // namespace vor3::qt
