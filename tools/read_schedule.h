#pragma once
#include <cstdint>
#include <optional>

#include "app/cli_options.h"
#include "form/serial_port.h"
#include "form/virtual_clock.h"

namespace vor3::bench {

// The time what vor3-cli does for `options` (a whole read, or a write with
// its read and read-back) takes by the program's own timers alone: the
// same drivers as vor3-cli, run on `clock` over `port`, so nothing but the
// timers and the sensor's replies on `port` spend time. Nothing when it did
// not finish within an hour.
std::optional<std::int64_t> schedule_ms(form::VirtualClock& clock, form::SerialPort& port,
                                        const app::CliOptions& options);

}  // namespace vor3::bench
