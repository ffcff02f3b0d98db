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

inline constexpr auto kByName = [](const auto& info) { return std::string(info.param.name); };

using Controls = std::initializer_list<const form::Control*>;

// On the simulated sensor with its port open, as the window starts.
inline Installation on_sensor() { return Installation().on_simulated_sensor(); }
inline void open_port(InstalledProgram& p) { p.f.Combo_Port(6).set_list_index(1); }
inline std::size_t frames(const InstalledProgram& p) {
    const auto& all = p.prog.traffic.entries();
    return static_cast<std::size_t>(std::count_if(all.begin(), all.end(), [](const auto& e) { return e.sent; }));
}

// What the window shows of the configuration part: the address, registers
// 2 to 10 and the coils ("2" for one not read), as
// "12 | 0 7 800 1200 10 20 -0,5 1,5 -30 | 11101110".
inline std::string configuration(InstalledProgram& p) {
    std::string s = p.f.txt_Modbus_adress.text() + " |";
    for (int i = 2; i <= 10; ++i) s += " " + p.f.txt_data_cfg(i).text();
    s += " | ";
    for (int i = 0; i <= 7; ++i) s += static_cast<char>('0' + p.f.chk_cfg(i).value());
    return s;
}
// Of the other parts: device coding, firmware, measured and external values,
// and the LED coils, as "4660 105 | 21,5 48,4 785 | 0 0 0 | 00000".
inline std::string other_parts(InstalledProgram& p) {
    std::string s = p.f.txt_data_cfg(0).text() + " " + p.f.txt_data_cfg(1).text() + " |";
    for (int i = 0; i <= 2; ++i) s += " " + p.f.txt_data_out(i).text();
    s += " |";
    for (int i = 0; i <= 2; ++i) s += " " + p.f.txt_data_in(i).text();
    s += " | ";
    for (int i = 0; i <= 4; ++i) s += static_cast<char>('0' + p.f.chk_inp_bit(i).value());
    return s;
}
// 'x' where a field carries the change mark, '.' where not.
inline char mark(const form::Control& c) { return c.fore_color() == form::kChangeMark ? 'x' : '.'; }
// Which fields of the configuration part carry the change mark, registers
// 2 to 10 then the coils: "....x.... | ..x.....".
inline std::string marks(InstalledProgram& p) {
    std::string s;
    for (int i = 2; i <= 10; ++i) s += mark(p.f.txt_data_cfg(i));
    s += " | ";
    for (int i = 0; i <= 7; ++i) s += mark(p.f.chk_cfg(i));
    return s;
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
