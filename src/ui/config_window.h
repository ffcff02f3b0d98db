#pragma once
#include "form/context.h"

namespace vor3::ui {

// Hangs the behaviour on the controls and timers of both windows.
void attach_handlers(Context& c);

// The load sequence of the configuration window: language, page 0, the
// serial lists (each selection runs Combo_Port_Click), reference values.
void frm_config_Load(Context& c);

// Page switch: only the frames of the page shown can be operated; the
// output values stay enabled on both pages.
void SSTab1_Click(Context& c);

// Before the window closes or the program ends: while a write is on its
// way, ending would leave the sensor half-written, so the user is asked;
// true when the program may end. A read ends without asking.
bool frm_config_QueryUnload(Context& c);

// Closing the window unloads the program's other windows.
void frm_config_Unload(Context& c);

// "&Beenden": stops the timers and ends the program at once, once
// frm_config_QueryUnload agrees.
void Exit_Click(Context& c);

}  // namespace vor3::ui
