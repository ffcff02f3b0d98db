#pragma once
#include "app/switching_port.h"
#include "form/clock.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"

namespace vor3::app {

// Everything behind the window's port: the system's ports (the platform's
// `RealPort`), simulated sensors on an in-process line (one at address 1
// until told otherwise), and the switch between them. A simulated sensor
// hears one line setting only, as a real one does (9600 baud, even parity,
// RTU), so a scan of the line finds each of them once.
template <class RealPort>
class WindowPorts {
public:
    explicit WindowPorts(form::Clock& clock) : line_(sim::Framing::Rtu, {1}), sim_(clock, line_), port_(real_, sim_) {
        sim_.set_sensor_line(sim::kBuiltInLine);
    }
    WindowPorts(const WindowPorts&) = delete;
    WindowPorts& operator=(const WindowPorts&) = delete;

    SwitchingPort& port() { return port_; }
    RealPort& real() { return real_; }
    sim::SensorLine& line() { return line_; }

private:
    RealPort real_;
    sim::SensorLine line_;
    sim::SimPort sim_;
    SwitchingPort port_;
};

}  // namespace vor3::app
