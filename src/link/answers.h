#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "form/context.h"

// Which request a reply answers. A sensor answers every copy of a request
// it hears, so a request repeated by the reply time-out may come back
// twice; each request counts as answered once. Since nothing in a serial
// Modbus answer names its request, the next request waits for the late
// answers of a request sent more than once (see line_free).
namespace vor3::link {

// What a request asks for, to hold a reply against.
struct Expectation {
    int address = -1;
    int function = -1;
    int reply_data_bytes = -1;  // the byte count a read reply must carry
    int first = -1;             // a write's start address and quantity,
    int quantity = -1;          // which its acknowledgement echoes
};

Expectation expectation_of(const std::string& request_hex);

// The RTU length of a reply to `e` whose first bytes are `head` (as
// FrameLength in framing.h gives it): its address, the function asked or
// its exception, the byte count and length the request implies.
std::size_t reply_length(const Expectation& e, std::string_view head);
// The same for a reply to the request on the line or to the one before,
// whose late answers may still come.
std::size_t awaited_length(const Context& c, std::string_view head);

enum class Fit { None, Answer, Refusal };
// Exceptions a Modbus TCP gateway gives for a unit it cannot reach.
constexpr int kGatewayPathUnavailable = 0x0A;
constexpr int kGatewayTargetFailed = 0x0B;
// How a frame (address, function, data; no checksum) fits the request.
Fit fit(const Expectation& e, std::string_view adu);

// Notes a copy of request_frame going out on the line; no answer to it can
// come after `quiet_at_ms`. A request sent again before it was answered is
// another copy of the same request.
void note_sent(Context& c, std::int64_t quiet_at_ms);

enum class Verdict {
    Take,             // the answer to the request on the line
    AnsweredAlready,  // a further answer to a request answered already
    NotAwaited,       // answers no request awaited (late, or never asked)
    Conflict,         // a second, different answer to a request sent once
};
// What a frame for our address (address to data) is, read when `sends`
// was `sends_when_read`; counts it toward the answers of the request it
// fits. A frame taken must then be noted with note_answered.
Verdict judge(Context& c, std::string_view adu, std::uint64_t sends_when_read);
void note_answered(Context& c, std::string_view adu);

// The request (hex text) the reader will take a frame (address to data)
// read now to answer: the request on the line, the one before, or none ("").
std::string request_answered_by(const Context& c, std::string_view adu);

// A second answer to the copy of the request on the line that was answered
// may still come (a second device, a repeater): until then the request
// is not done.
bool second_answer_may_come(const Context& c);

// True when `next` may go out now: it repeats the request on the line, or
// every copy of that request has had its answer, or none can come anymore.
bool line_free(const Context& c, const std::string& next);

}  // namespace vor3::link
