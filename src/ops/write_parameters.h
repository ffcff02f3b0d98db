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

// A field's text as the register value written: four hex digits of the
// lowest 16 bits of the (scaled) value, rounded half to even.
std::string register_hex(const std::string& text, int scale, const std::string& decimal_sep);

}  // namespace vor3::ops
