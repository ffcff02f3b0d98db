#pragma once
#include <string>

#include "link/context.h"

namespace vor3::ops {

// "Werte übernehmen": writes the marked part (configuration registers and
// coils, or external values and LED coils) and reads the device back.
void set_parameter_Click(Context& c);
// Sends the next block of registers of a write.
void Timer1_Timer(Context& c);

// A field's text as the register value written: four hex digits of the
// lowest 16 bits of the (scaled) value, rounded half to even.
std::string register_hex(const std::string& text, int scale, const std::string& decimal_sep);

}  // namespace vor3::ops
