#pragma once
#include "link/context.h"

namespace vor3::ui {

// Re-applies all five serial lists: settings, framing, open state, and the
// buttons and timers that go with them. Re-entrant.
void Combo_Port_Click(Context& c, int index);

// The message for a port that failed, with advice where the cause is a
// missing permission.
void show_port_error(Context& c, const link::PortError& e);

// The port failed under a running transfer (for example the adapter was
// unplugged): report it and return the window to the closed-port state.
void port_failed(Context& c, const link::PortError& e);

}  // namespace vor3::ui
