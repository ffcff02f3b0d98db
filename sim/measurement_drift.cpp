#include "sim/measurement_drift.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vor3::sim {

namespace {

struct Wander {
    double centre;
    double amplitude;
    double period_ms;
    double phase;  // so the three quantities do not peak together
    long lowest;
    long highest;
};

Wander wander_of(Quantity quantity) {
    switch (quantity) {
    case Quantity::Temperature: return {215, 8, 7 * 60'000.0, 0.0, -32768, 32767};
    case Quantity::Humidity: return {450, 40, 11 * 60'000.0, 1.0, 0, 1000};
    case Quantity::Co2: return {650, 150, 13 * 60'000.0, 2.0, 0, 65535};
    }
    return {0, 0, 1, 0, 0, 0};
}

}  // namespace

std::uint16_t drifting_value(Quantity quantity, std::int64_t now_ms, std::int16_t offset) {
    const Wander w = wander_of(quantity);
    const double angle = 2 * std::numbers::pi * static_cast<double>(now_ms) / w.period_ms + w.phase;
    const long value = std::lround(w.centre + w.amplitude * std::sin(angle)) + offset;
    return static_cast<std::uint16_t>(std::clamp(value, w.lowest, w.highest));
}

}  // namespace vor3::sim
