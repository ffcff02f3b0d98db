#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "form/platform.h"
#include "form/virtual_clock.h"
#include "sim/sim_port.h"
#include "sim/simulated_sensor.h"
#include "support/fakes.h"
#include "support/hives.h"
#include "support/temp_dir.h"

namespace vor3::test {

struct FakeFileDialog : form::FileDialog {
    std::optional<std::string> answer;  // nothing: cancelled
    std::vector<std::string> filters;
    std::optional<std::string> open_file(const std::string& filter) override {
        filters.push_back(filter);
        return answer;
    }
    std::optional<std::string> save_file(const std::string& filter) override {
        filters.push_back(filter);
        return answer;
    }
    std::vector<std::string> folders;  // where appending began
    std::optional<std::string> append_file(const std::string& filter, const std::string& folder) override {
        folders.push_back(folder);
        return save_file(filter);
    }
};

struct FakeDesktop : form::Desktop {
    std::vector<std::string> documents, links;
    bool works = true;
    bool open_document(const std::string& path) override {
        documents.push_back(path);
        return works;
    }
    bool open_link(const std::string& url) override {
        links.push_back(url);
        return works;
    }
};

struct FakeClipboard : form::Clipboard {
    std::string text;
    void set_text(const std::string& t) override { text = t; }
};

struct FakeScreen : form::Screen {
    form::ScreenSize s{1920, 1080};
    form::ScreenSize size() const override { return s; }
};

// 7 December 2024, 14:03:05 (local and UTC alike), moving on with the
// program's clock when it is given one; the date and time texts are the
// locale's, German unless a test says otherwise.
struct FakeWallClock : form::WallClock {
    const form::Clock* clock = nullptr;
    std::string date = "07.12.2024", time = "14:03:05";
    std::string date_text() const override { return date; }
    std::string time_text() const override { return time; }
    form::WallTime now() const override {
        const std::int64_t ms = clock ? clock->now_ms() : 0;
        const std::int64_t of_day = (14 * 3600 + 3 * 60 + 5) * 1000 + ms;  // tests end before midnight
        char iso[64];
        std::snprintf(iso, sizeof iso, "2024-12-07T%02lld:%02lld:%02lld.%03lld",
                      static_cast<long long>(of_day / 3600000), static_cast<long long>(of_day / 60000 % 60),
                      static_cast<long long>(of_day / 1000 % 60), static_cast<long long>(of_day % 1000));
        return {1733580185000 + ms, iso};
    }
};

// How an installed program starts: its hives' texts (nothing leaves a
// hive out), the locale's decimal separator, and whether it talks to the
// simulated sensor instead of a scripted port.
struct Installation {
    std::optional<std::string> machine = machine_hive("", "1031");
    std::optional<std::string> user;
    std::string locale_sep;
    bool simulated = false;

    Installation& with_machine(std::optional<std::string> text) {
        machine = std::move(text);
        return *this;
    }
    Installation& with_user(std::optional<std::string> text) {
        user = std::move(text);
        return *this;
    }
    Installation& with_locale_sep(std::string sep) {
        locale_sep = std::move(sep);
        return *this;
    }
    Installation& on_simulated_sensor() {
        simulated = true;
        return *this;
    }
};

// A program started with hive files of its own and every platform service
// faked, under the virtual clock.
struct InstalledProgram {
    TempDir dir;
    form::VirtualClock clock;
    FakePort port;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    sim::SimPort sim_port{clock, sensor};
    FakeMessageBox msg;
    FakeConfirm confirm;
    FakeFileDialog files;
    FakeDesktop desktop;
    FakeScreen screen;
    FakeWallClock wall_clock;
    FakeClipboard clipboard;
    app::Program prog;
    form::FrmConfig& f = prog.frm_config;
    model::Globals& g = prog.g;
    Context& c = prog.ctx;

    explicit InstalledProgram(const Installation& i = {})
        : prog(i.simulated ? static_cast<form::SerialPort&>(sim_port) : port, msg, confirm, clock) {
        g.platform.machine_hive = i.machine ? dir.write("machine.reg", *i.machine) : dir.file("none.reg");
        g.platform.user_hive = i.user ? dir.write("user.reg", *i.user) : dir.file("none-user.reg");
        g.platform.locale_decimal_sep = i.locale_sep;
        prog.use_file_dialog(files);
        prog.use_desktop(desktop);
        prog.use_screen(screen);
        prog.use_clipboard(clipboard);
        wall_clock.clock = &clock;
        prog.use_wall_clock(wall_clock);
        prog.Main();
    }

    // Opens the port and reads the whole device as "Gerät auslesen" does.
    bool read_device() {
        f.Combo_Port(6).set_list_index(1);
        f.cmd_read_device.press();
        return clock.run_until([&] { return g.transfer.request_kind == 0 && !prog.frmState.loaded(); }, 20000);
    }
};

}  // namespace vor3::test
