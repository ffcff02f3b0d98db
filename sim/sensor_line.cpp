#include "sim/sensor_line.h"

#include <stdexcept>

namespace vor3::sim {

namespace {
constexpr int kLocationIdRegister = 3;
}

SensorLine::SensorLine(Framing framing, const std::vector<int>& addresses) : framing_(framing) {
    set_addresses(addresses);
}

void SensorLine::set_addresses(const std::vector<int>& addresses) {
    if (addresses.empty()) throw std::invalid_argument("a line needs at least one sensor");
    std::map<int, std::unique_ptr<SimulatedSensor>> line;
    for (int a : addresses) {
        auto kept = sensors_.find(a);
        if (kept != sensors_.end()) {
            line[a] = std::move(kept->second);
            continue;
        }
        auto sensor = std::make_unique<SimulatedSensor>(framing_, a);  // checks the address
        if (addresses.size() > 1) sensor->set_holding(kLocationIdRegister, static_cast<std::uint16_t>(a));
        line[a] = std::move(sensor);
    }
    sensors_ = std::move(line);
}

std::vector<int> SensorLine::addresses() const {
    std::vector<int> out;
    for (const auto& [a, sensor] : sensors_) out.push_back(a);
    return out;
}

SimulatedSensor& SensorLine::sensor(int address) {
    auto it = sensors_.find(address);
    if (it == sensors_.end()) throw std::out_of_range("no simulated sensor at address " + std::to_string(address));
    return *it->second;
}

void SensorLine::set_faults(const Faults& faults) {
    for (auto& [a, sensor] : sensors_) sensor->faults() = faults;
}

std::vector<Reply> SensorLine::receive(std::string_view bytes, std::int64_t now_ms) {
    // Only the addressed sensor answers; a broadcast reaches all and is
    // answered by none.
    std::vector<Reply> replies;
    for (auto& [a, sensor] : sensors_)
        for (Reply& r : sensor->receive(bytes, now_ms)) replies.push_back(std::move(r));
    return replies;
}

}  // namespace vor3::sim
