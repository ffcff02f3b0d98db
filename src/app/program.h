#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "form/context.h"
#include "form/f_about.h"
#include "form/frm_bus.h"
#include "form/frm_config.h"
#include "form/frm_registers.h"
#include "form/frm_scan.h"
#include "form/frm_traffic.h"
#include "form/frm_trend.h"
#include "form/platform.h"
#include "form/serial_port.h"
#include "link/echo_filter.h"
#include "link/modbus_tcp_port.h"
#include "link/traffic.h"
#include "model/globals.h"
#include "ui/register_window.h"
#include "ui/scan_window.h"
#include "ui/traffic_window.h"
#include "ui/trend_window.h"
#include "ui/window_events.h"

namespace vor3::app {

class BusWindow;

// The services a program has until its view or tool gives its own: file
// dialogs are cancelled, nothing opens, the screen is 1024 x 768, the
// clock shows no date and stamps no time, and nothing reaches a clipboard.
struct NoPlatform : form::FileDialog, form::Desktop, form::Screen, form::WallClock, form::Clipboard {
    std::optional<std::string> open_file(const std::string&) override { return std::nullopt; }
    std::optional<std::string> save_file(const std::string&) override { return std::nullopt; }
    bool open_document(const std::string&) override { return false; }
    bool open_link(const std::string&) override { return false; }
    form::ScreenSize size() const override { return {1024, 768}; }
    std::string date_text() const override { return {}; }
    std::string time_text() const override { return {}; }
    form::WallTime now() const override { return {}; }
    void set_text(const std::string&) override {}
};

// The program's messages go to its message box, or, while a job over
// several sensors runs, to that job, which reports them sensor by sensor.
struct MessageRoute : form::MessageBox {
    explicit MessageRoute(form::MessageBox& box) : box(box) {}
    void show(const std::string& text, const std::string& detail) override {
        (diverted ? *diverted : box).show(text, detail);
    }
    form::MessageBox& box;
    form::MessageBox* diverted = nullptr;
};

// One running program: its shared state, its windows with their
// behaviour attached, and the platform services it was given.
class Program {
public:
    Program(form::SerialPort& port, form::MessageBox& msg, form::ConfirmDialog& confirm, form::Clock& clock);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up: serial defaults, the window's load sequence, the defaults
    // handed to the port. The view shows the window afterwards.
    void Main();

    // Platform services beyond messages and questions.
    void use_file_dialog(form::FileDialog& files) { ctx.files = &files; }
    // A document the desktop fails to open later is named in a message.
    void use_desktop(form::Desktop& desktop);
    void use_screen(form::Screen& screen) { ctx.screen = &screen; }
    void use_wall_clock(form::WallClock& clock) { ctx.wall_clock = &clock; }
    void use_clipboard(form::Clipboard& clipboard) { register_window.use_clipboard(clipboard); }
    // The window asks before edited values are replaced (a tool asks no one).
    void ask_before_dropping_edits() { ctx.ask_before_dropping_edits = asks_ = true; }
    // Messages to `to` instead of the message box until called with nullptr.
    // A job over several sensors asks nothing meanwhile: it reads them all.
    void divert_messages(form::MessageBox* to) {
        messages_.diverted = to;
        ctx.ask_before_dropping_edits = asks_ && !to;
    }

    model::Globals g;
    form::FrmConfig frm_config;
    form::FrmState frmState;
    form::FAbout fAbout;
    form::FrmScan frmScan;
    form::FrmTraffic frmTraffic;
    form::FrmTrend frmTrend;
    form::FrmBus frmBus;
    form::FrmRegisters frmRegisters;
    // Every frame over the line, recorded where the program meets the port.
    link::TrafficRecord traffic;

private:
    // A line in the traffic about the frame above it.
    void note(link::TrafficEntry::Kind kind);

    NoPlatform none_;
    MessageRoute messages_;
    bool asks_ = false;
    link::TrafficPort traffic_port_;
    link::ModbusTcpPort gateway_port_;
    link::EchoFilter echo_filter_;

public:
    Context ctx;
    ui::ScanWindow scan_window;
    ui::TrafficWindow traffic_window;
    ui::TrendWindow trend_window;
    ui::RegisterWindow register_window;
    BusWindow& bus_window() { return *bus_window_; }

private:
    ui::WindowEvents window_events_{ctx};
    // It drives the whole program the way vor3-cli does, so it comes last.
    std::unique_ptr<BusWindow> bus_window_;
};

}  // namespace vor3::app
