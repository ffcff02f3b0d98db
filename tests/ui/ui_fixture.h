#pragma once
// The window layer's one fixture: a program installed with hive files of
// its own and every platform service faked, under the virtual clock, on a
// scripted port or on the simulated sensor.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "link/transmit.h"
#include "support/fake_platform.h"

namespace vor3::test {

// Parameterised cases carry their name first; the test list reads it.
inline constexpr auto kByName = [](const auto& info) { return std::string(info.param.name); };

// A few controls to check alike.
using Controls = std::initializer_list<const form::Control*>;

// On the simulated sensor with its port open, as the window starts.
inline Installation on_sensor() { return Installation().on_simulated_sensor(); }
inline void open_port(InstalledProgram& p) { p.f.Combo_Port(6).set_list_index(1); }
// The frames the program has sent so far.
inline std::size_t frames(const InstalledProgram& p) {
    const auto& all = p.prog.traffic.entries();
    return static_cast<std::size_t>(std::count_if(all.begin(), all.end(), [](const auto& e) { return e.sent; }));
}

// Runs until the window is usable again and no transfer is under way (a
// write with its read-back, or a transfer ended early).
inline bool settle(InstalledProgram& p, std::int64_t limit_ms = 60000) {
    return p.clock.run_until(
        [&] {
            return p.f.enabled() && !p.prog.frmState.loaded() && !p.f.Timer1.enabled() && !link::line_busy(p.c) &&
                   (!p.f.Timer6.enabled() || p.f.chk_read_out.value() == 1);
        },
        limit_ms);
}

}  // namespace vor3::test
