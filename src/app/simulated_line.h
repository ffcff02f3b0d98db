#pragma once
#include <vector>

#include "app/site_file.h"
#include "form/clock.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"

namespace vor3::app {

// A line of simulated sensors of its own, as --port sim gives: one at
// address 1, or one at each address asked for, hearing the built-in
// sensor's one line setting only.
struct SimulatedLine {
    SimulatedLine(form::Clock& clock, const std::vector<int>& addresses)
        : sensors(sim::Framing::Rtu, addresses.empty() ? std::vector<int>{1} : addresses), port(clock, sensors) {
        port.set_sensor_line(sim::kBuiltInLine);
    }
    SimulatedLine(form::Clock& clock, const SiteLine& line) : SimulatedLine(clock, addresses_of(line)) {}
    static std::vector<int> addresses_of(const SiteLine& line) {
        std::vector<int> addresses;
        for (const auto& t : line.targets) addresses.push_back(t.address);
        return addresses;
    }
    sim::SensorLine sensors;
    sim::SimPort port;
};

}  // namespace vor3::app
