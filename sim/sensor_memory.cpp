#include "sim/sensor_memory.h"

#include <stdexcept>
#include <string>

namespace vor3::sim {

namespace {

constexpr int kDeviceCoding = 4660;
constexpr int kFirmwareVersion = 105;
constexpr int kTemperatureOffset = 8;
constexpr int kHumidityOffset = 9;
constexpr int kCo2Offset = 10;
constexpr int kMeasuredFirst = 0x100;
constexpr int kExternalFirst = 0x200;
constexpr int kLedCoilFirst = 0x100;

std::out_of_range no_such(const char* kind, int address) {
    return std::out_of_range(std::string("no ") + kind + " at address " + std::to_string(address));
}

int offset_register(Quantity quantity) {
    switch (quantity) {
    case Quantity::Temperature: return kTemperatureOffset;
    case Quantity::Humidity: return kHumidityOffset;
    case Quantity::Co2: return kCo2Offset;
    }
    return kTemperatureOffset;
}

}  // namespace

SensorMemory::SensorMemory() {
    const std::uint16_t configuration[] = {kDeviceCoding, kFirmwareVersion, 0, 1, 800, 1200, 10, 20, 0, 0, 0};
    for (int i = 0; i < 11; ++i) holding_[i] = {configuration[i], i >= 2, std::nullopt};
    const Quantity measured[] = {Quantity::Temperature, Quantity::Humidity, Quantity::Co2};
    for (int i = 0; i < 3; ++i) {
        holding_[kMeasuredFirst + i] = {0, false, measured[i]};
        holding_[kExternalFirst + i] = {0, true, std::nullopt};
    }
    for (int i = 0; i < 8; ++i) coils_[i] = i < 7;
    for (int i = 0; i < 5; ++i) coils_[kLedCoilFirst + i] = false;
}

bool SensorMemory::holding_readable(int first, int count) const {
    for (int a = first; a < first + count; ++a)
        if (!holding_.contains(a)) return false;
    return true;
}

bool SensorMemory::holding_writable(int first, int count) const {
    for (int a = first; a < first + count; ++a) {
        auto it = holding_.find(a);
        if (it == holding_.end() || !it->second.writable) return false;
    }
    return true;
}

bool SensorMemory::coils_present(int first, int count) const {
    for (int a = first; a < first + count; ++a)
        if (!coils_.contains(a)) return false;
    return true;
}

const SensorMemory::Register& SensorMemory::at(int address) const {
    auto it = holding_.find(address);
    if (it == holding_.end()) throw no_such("holding register", address);
    return it->second;
}

std::uint16_t SensorMemory::holding(int address, std::int64_t now_ms) const {
    const Register& r = at(address);
    if (!r.drifts) return r.value;
    const auto offset = static_cast<std::int16_t>(at(offset_register(*r.drifts)).value);
    return drifting_value(*r.drifts, now_ms, offset);
}

void SensorMemory::set_holding(int address, std::uint16_t value) {
    at(address);
    holding_[address] = {value, holding_[address].writable, std::nullopt};
}

bool SensorMemory::coil(int address) const {
    auto it = coils_.find(address);
    if (it == coils_.end()) throw no_such("coil", address);
    return it->second;
}

void SensorMemory::set_coil(int address, bool on) {
    if (!coils_.contains(address)) throw no_such("coil", address);
    coils_[address] = on;
}

}  // namespace vor3::sim
