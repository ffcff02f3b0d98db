#pragma once
#include "form/serial_port.h"

namespace vor3::sim {

// Time one character occupies on the line: start bit, data bits, parity
// bit (if any) and stop bits, at the baud rate.
double char_time_ms(const form::SerialSettings& settings);

}  // namespace vor3::sim
