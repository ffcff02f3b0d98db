#pragma once
#include "link/serial_port.h"

namespace vor3::sim {

// Time one character occupies on the line: start bit, data bits, parity
// bit (if any) and stop bits, at the baud rate.
double char_time_ms(const link::SerialSettings& settings);

}  // namespace vor3::sim
