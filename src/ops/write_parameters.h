#pragma once
#include <string>

#include "form/context.h"

namespace vor3::ops {

// "Werte übernehmen": writes the marked parts (configuration registers and
// coils, then external values and LED coils) and reads the device back.
void set_parameter_Click(Context& c);
// Arms the write of the external values and then the LED coils.
void start_external_write(Context& c);
// Sends the next block of registers of a write.
void Timer1_Timer(Context& c);

// The read-back after a write has ended: each value the write sent and the
// sensor acknowledged is compared with what the sensor now holds; those it
// holds otherwise are kept in `sent.differences` and named in a message.
void check_read_back(Context& c);

// A field's text as the register value written: four hex digits of the
// lowest 16 bits of the (scaled) value, rounded half to even.
std::string register_hex(const std::string& text, int scale, const std::string& decimal_sep);

}  // namespace vor3::ops
