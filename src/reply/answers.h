#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "link/context.h"

// Which request a reply answers. A sensor answers every copy of a request
// it hears, so a request repeated by the reply time-out may come back
// twice; each request counts as answered once, and a further answer to it
// is stale.
namespace vor3::reply {

// What a request asks for, to hold a reply against.
struct Expectation {
    int address = -1;
    int function = -1;
    int reply_data_bytes = -1;  // the byte count a read reply must carry
    int first = -1;             // a write's start address and quantity,
    int quantity = -1;          // which its acknowledgement echoes
};

Expectation expectation_of(const std::string& request_hex);

enum class Fit { None, Answer, Refusal };
// How a frame (address, function, data; no checksum) fits the request.
Fit fit(const Expectation& e, std::string_view adu);

// Notes a copy of request_frame going out on the line. A request sent again
// before it was answered is another copy of the same request.
void note_sent(Context& c);

// True when a frame that fits the request outstanding is nevertheless not
// its answer: the request was answered already, the frame was read before
// the request went out (`sends_when_read`) or sooner after it than the line
// could carry the request and a reply, or it is the answer expected to a
// copy of an earlier request that was answered.
bool stale(Context& c, std::string_view adu, std::uint64_t sends_when_read);

// The request outstanding has been answered: later answers to its other
// copies are expected where the first copy's answer came, shifted by the
// time between the copies.
void note_answered(Context& c, std::string_view adu);

}  // namespace vor3::reply
