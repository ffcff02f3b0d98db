#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "app/program.h"
#include "form/virtual_clock.h"
#include "link/hex.h"
#include "link/transmit.h"
#include "sim/sim_port.h"
#include "sim/simulated_sensor.h"
#include "support/fakes.h"

namespace vor3::test {

// A port that notes every frame written, with the time it went out.
struct RecordingPort : form::ForwardingPort {
    RecordingPort(form::SerialPort& inner, form::Clock& clock) : ForwardingPort(inner), clock(clock) {}
    struct Sent {
        std::int64_t at;
        std::string bytes;
    };
    form::Clock& clock;
    std::vector<Sent> sent;

    void write(std::string_view bytes) override {
        inner_.write(bytes);
        sent.push_back({clock.now_ms(), std::string(bytes)});
    }
};

// The user is told that something failed: the warning line or a message.
template <class Program>
bool warning_shown(const Program& p) {
    return p.f.warning_line().visible() || !p.msg.shown.empty();
}

// One program under the virtual clock, talking to the simulated sensor.
struct SimHarness {
    form::VirtualClock clock;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    sim::SimPort sim_port{clock, sensor};
    RecordingPort port{sim_port, clock};
    FakeMessageBox msg;
    FakeConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
    Context& c = prog.ctx;
    form::FrmConfig& f = prog.frm_config;

    explicit SimHarness(const char* mode = "RTU", int parity = 1) {
        prog.Main();
        f.Combo_Port(5).set_list_index(std::string(mode) == "ASCII" ? 0 : 1);
        f.Combo_Port(2).set_list_index(parity);
        f.Combo_Port(6).set_list_index(1);
    }

    // Presses "Gerät auslesen" and runs until the status window has closed.
    bool read_device(std::int64_t limit_ms = 20000) {
        f.cmd_read_device.press();
        return clock.run_until([&] { return c.g.transfer.request_kind == 0 && !prog.frmState.loaded(); }, limit_ms);
    }

    // Runs until the main window is usable again and no transfer is under
    // way (a write with its read-back, or a transfer ended early).
    bool settle(std::int64_t limit_ms = 60000) {
        return clock.run_until(
            [&] {
                return f.enabled() && !prog.frmState.loaded() && !f.Timer1.enabled() && !link::line_busy(c) &&
                       (!f.Timer6.enabled() || f.chk_read_out.value() == 1);
            },
            limit_ms);
    }

    // The request texts that went out since the first `first`.
    std::vector<std::string> requests_since(std::size_t first) const {
        const auto all = requests();
        return {all.begin() + static_cast<long>(std::min(first, all.size())), all.end()};
    }

    // The request texts (without checksum) that went out, in order.
    std::vector<std::string> requests() const {
        std::vector<std::string> out;
        for (const auto& s : port.sent) {
            if (!s.bytes.empty() && s.bytes[0] == ':')
                out.push_back(s.bytes.substr(1, s.bytes.size() - 5));
            else
                out.push_back(link::bytes_to_hex(s.bytes.substr(0, s.bytes.size() - 2)));
        }
        return out;
    }
};

}  // namespace vor3::test
