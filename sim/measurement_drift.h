#pragma once
#include <cstdint>

namespace vor3::sim {

enum class Quantity { Temperature, Humidity, Co2 };

// The raw register value the sensor reports at a moment: a slow, smooth
// and repeatable wander around a typical office climate (21.5 °C, 45 %rH,
// 650 ppm), shifted by the user's calibration offset. Temperature and
// humidity are in tenths, temperature as 16-bit two's complement.
std::uint16_t drifting_value(Quantity quantity, std::int64_t now_ms, std::int16_t offset);

}  // namespace vor3::sim
