#pragma once
#include <string>

#include "form/context.h"

namespace vor3::ui {

// Re-applies all five serial lists: settings, framing, open state, and the
// buttons and timers that go with them. Re-entrant.
void Combo_Port_Click(Context& c, int index);

// "Echo unterdrücken": drops the echo of each request from here on, and
// keeps the choice in the user's settings for the next start.
void chk_echo_Click(Context& c);
// "Schnell (nach Antwort)": each request of a transfer goes out as soon as
// the answer before is in, from here on; kept like the echo's choice.
void chk_pace_Click(Context& c);
// The user's stored choices (echo and pace), applied when the window loads.
void load_echo_setting(Context& c);
inline constexpr const char* kEchoValue = "Echo";
inline constexpr const char* kPaceValue = "Pace";  // "answer" or "schedule"

// Why a port failed, in the user's language, for the line below the
// message: access denied, in use, not found, gone, or what the network
// said. "" where nothing more is known.
std::string port_error_reason(const form::PortError& e, const std::string& device, const std::string& language);

// The message for a port that failed, with the reason below it.
void show_port_error(Context& c, const form::PortError& e);

// The warning line speaks of a line or sensor no longer chosen: it goes.
void hide_stale_warning(Context& c);

// The port failed under a running transfer (for example the adapter was
// unplugged): report it and return the window to the closed-port state.
void port_failed(Context& c, const form::PortError& e);

}  // namespace vor3::ui
