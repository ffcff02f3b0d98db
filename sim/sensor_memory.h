#pragma once
#include <cstdint>
#include <map>
#include <optional>

#include "sim/measurement_drift.h"

namespace vor3::sim {

// The sensor's holding registers and coils with their factory values.
// Addresses outside the map throw std::out_of_range.
class SensorMemory {
public:
    SensorMemory();

    // True when every address of the range exists (and, for writes, may be
    // written over Modbus).
    bool holding_readable(int first, int count) const;
    bool holding_writable(int first, int count) const;
    bool coils_present(int first, int count) const;

    // Measured values drift with now_ms until they are set, which pins them.
    std::uint16_t holding(int address, std::int64_t now_ms) const;
    void set_holding(int address, std::uint16_t value);
    bool coil(int address) const;
    void set_coil(int address, bool on);

private:
    struct Register {
        std::uint16_t value;
        bool writable;
        std::optional<Quantity> drifts;  // cleared once pinned
    };
    const Register& at(int address) const;

    std::map<int, Register> holding_;
    std::map<int, bool> coils_;
};

}  // namespace vor3::sim
