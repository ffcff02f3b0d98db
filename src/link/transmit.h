#pragma once
#include "link/context.h"

namespace vor3::link {

// Frames request_frame for the framing mode in force, writes it to the port
// and starts the reply time-out.
void send(Context& c);

// Reply time-out: repeats the request once and starts the give-up timer.
void Timer5_Timer(Context& c);
// Give-up: stops the transfer, shows the warning line, resets the state.
void Timer3_Timer(Context& c);

// Abandons any transfer: block timers and time-out stopped, no reply
// awaited, ready to read from the first configuration register.
void reset_transfer(Context& c);

// The frame `send` writes for a request in the given mode ("" for a mode
// that sends nothing).
std::string frame_request(const std::string& request_frame, const std::string& protocol_mode);

}  // namespace vor3::link
