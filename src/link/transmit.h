#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "form/context.h"

namespace vor3::link {

// Frames request_frame for the framing mode in force, writes it to the port
// and starts the reply time-out. While the transfer is `stopping`, only a
// repeat of the request in flight is sent.
void send(Context& c);

// The line's turn: a request held until the late answers to the request
// before could come is sent now (or the transfer ends, when two devices
// were found answering).
void TimerTurn_Timer(Context& c);
// An answer was heard: a request held for it may go out now.
void line_heard(Context& c);
// Two different answers came to one request: the transfer ends, with the
// warning line and a message naming a possible address conflict.
void end_with_conflict(Context& c);
// The transfer has had its last answer; while a second answer to it may
// still come, the line stays busy, and the turn timer then reads what came:
// one that differs ends the transfer as not done, with the conflict told.
void watch_for_second_answer(Context& c);

// The address requests go to and answers must come from: the main window's,
// or the one the bus window's read-out has lent.
int device_address(const Context& c);

// A request is on the line or waits for it: an answer is awaited, a repeat
// or the give-up is due, a request waits for its turn, or a second answer
// to the last may still come.
bool line_busy(const Context& c);

// Reply time-out: repeats the request once and starts the give-up timer.
void Timer5_Timer(Context& c);
// Give-up: stops the transfer, shows the warning line, resets the state.
void Timer3_Timer(Context& c);
// Ends the transfer as the give-up does (the cyclic read-out goes on), with
// `how` as its outcome: a refusal and a closed connection end this way too.
void give_up(Context& c, model::TransferOutcome how, int exception_code = 0);

// Ends a transfer that cannot finish (give-up, an exception reply, the
// status window's time limit, a lost port): every transfer timer stopped,
// the status window closed without a read-back, the warning line shown.
// Fields not yet confirmed by the sensor keep their change marks.
void end_transfer_early(Context& c, model::TransferOutcome how, int exception_code = 0);

// The longest a healthy sensor may take to answer `request` (hex text):
// its minimum response time, both frames on the line at the settings in
// force and one poll of the reader.
std::int64_t reply_allowance_ms(const Context& c, const std::string& request, std::int32_t min_response_ms);

// The block period once the sensor's minimum response time is known from a
// write: both frames of the largest exchange at the line speed, the
// minimum response time and one poll of the reader.
std::int64_t paced_block_period_ms(const Context& c, std::int32_t min_response_ms);

// From sending the largest request to the give-up, at the settings and the
// minimum response time in force.
std::int64_t longest_wait_ms(const Context& c);

// The frame `send` writes for a request in the given mode ("" for a mode
// that sends nothing).
std::string frame_request(const std::string& request_frame, std::optional<model::Framing> protocol_mode);

}  // namespace vor3::link
