#pragma once
#include <cstdint>
#include <string>

#include "form/context.h"

// When the next request may go out. Under the schedule the block timers'
// ticks pace a transfer. Answer-paced, the next request goes out as soon
// as the answer to the one before is in and the line allows it; the block
// timers keep their period only as a fallback, and the cyclic read-out
// keeps its pace (it samples, it does not transfer).
namespace vor3::link {

bool answer_paced(const Context& c);

// The earliest time a request may go out at the pace in force: under the
// schedule, any time. Answer-paced, once the line has been silent for 3.5
// characters (RTU; in ASCII the frame's end says it has ended) since bytes
// last came off it, and never sooner than the sensor's minimum response
// time after the request before. A repeat goes out when the reply time-out
// says.
std::int64_t next_request_at_ms(const Context& c);
bool pace_allows_request(const Context& c);

// Answer-paced: a request has gone out; TimerPace reads its answer as soon
// as it can be complete.
void await_answer(Context& c);
// Answer-paced: the block timer of a transfer under way ticks as soon as
// the next request may go out, rather than at its period.
void block_due(Context& c);
void TimerPace_Timer(Context& c);

// Reads what has come off the line; false when the port failed (the
// failure is shown).
bool read_waiting(Context& c);

// One exchange of `request` answer-paced: both frames at the line speed,
// the minimum response time and the silence before the next request.
std::int64_t paced_exchange_ms(const Context& c, const std::string& request, std::int32_t min_response_ms);

}  // namespace vor3::link
