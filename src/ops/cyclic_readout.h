#pragma once
#include "form/context.h"

namespace vor3::ops {

// Cyclic read-out of the measured values, with editing locked while it runs.
void chk_read_out_Click(Context& c);
// Throws away the user's edits by reading the whole device again.
void func_read_out_parameter(Context& c);
void read_out_parameter_Click(Context& c);

}  // namespace vor3::ops
