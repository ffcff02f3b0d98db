#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/reply.h"
#include "sim/simulated_sensor.h"

namespace vor3::sim {

// Several simulated sensors on one line, as on an RS-485 bus: each at its
// own address with its own memory and faults, each hearing every request
// and answering only its own. On a line of more than one, each sensor's
// location id is its address, so a master can tell them apart.
class SensorLine : public Responder {
public:
    // Throws std::invalid_argument for no address or one outside 1..247.
    SensorLine(Framing framing, const std::vector<int>& addresses);

    std::vector<Reply> receive(std::string_view bytes, std::int64_t now_ms) override;

    // Makes the line carry these sensors: the ones already there keep
    // their memory, the others come new from the factory. The same checks
    // as the constructor's.
    void set_addresses(const std::vector<int>& addresses);
    std::vector<int> addresses() const;
    // The sensor at `address`; std::out_of_range for an address not on the line.
    SimulatedSensor& sensor(int address);
    // The same faults for every sensor on the line.
    void set_faults(const Faults& faults);

private:
    Framing framing_;
    // Held by pointer: a sensor stays where it is while others come and go.
    std::map<int, std::unique_ptr<SimulatedSensor>> sensors_;
};

}  // namespace vor3::sim
