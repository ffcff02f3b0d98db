#pragma once
#include "form/context.h"

namespace vor3::ops {

// Sends the next block of registers of the range reg_address lies in,
// whenever no reply is awaited.
void Timer6_Timer(Context& c);

}  // namespace vor3::ops
