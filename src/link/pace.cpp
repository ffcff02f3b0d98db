#include "link/pace.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "form/transfer_events.h"
#include "link/answers.h"
#include "model/numbers.h"

namespace vor3::link {

namespace {

constexpr std::int64_t kAnyTime = std::numeric_limits<std::int64_t>::min();
// RTU frames are told apart by the silence between them.
constexpr double kSilenceChars = 3.5;
// While no byte of the answer has come, the line is looked at this often
// at least: a late answer is still read within a few characters of its end.
constexpr double kLongestLookMs = 10;

bool ascii(const Context& c) { return c.g.link.protocol_mode == model::Framing::Ascii; }
double char_ms(const Context& c) { return model::char_time_ms(c.g.link); }

// Characters a frame of `rtu_bytes` (message and CRC) takes in the mode in
// force: ":", two digits a byte and the LRC's two in place of the CRC, CR LF.
double frame_chars(const Context& c, int rtu_bytes) { return ascii(c) ? 2.0 * rtu_bytes + 1 : rtu_bytes; }

int request_bytes(const std::string& request) { return static_cast<int>(request.size() / 2) + 2; }
int reply_bytes(const std::string& request) {
    const int data = expectation_of(request).reply_data_bytes;
    return data >= 0 ? 5 + data : 8;  // a read's data, or a write's acknowledgement
}

double silence_ms(const Context& c) { return ascii(c) ? 0.0 : kSilenceChars * char_ms(c); }

std::int32_t min_response(const Context& c) { return std::max(0, c.g.transfer.min_response_ms); }

// From sending `request` to the end of its answer from a sensor that
// answers at its minimum response time.
double answer_ms(const Context& c, const std::string& request, std::int32_t min_response_ms) {
    const double chars = frame_chars(c, request_bytes(request)) + frame_chars(c, reply_bytes(request));
    return chars * char_ms(c) + std::max(0, min_response_ms);
}

std::int64_t whole_ms(double ms) { return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(ms))); }

// The next look at the line while an answer is awaited: when the rest of
// the answer can have come.
std::int64_t look_again_ms(const Context& c) {
    const auto& r = c.g.reader;
    const double got = ascii(c) ? (r.collecting ? static_cast<double>(r.rx_text.size()) : 0.0) : r.rx_count;
    const double rest_ms = (frame_chars(c, reply_bytes(c.g.line.now.request)) - got) * char_ms(c);
    return whole_ms(got > 0 ? rest_ms : std::min(rest_ms, kLongestLookMs));
}

bool answer_awaited(const Context& c) { return c.frm.Timer5.enabled() || c.frm.Timer3.enabled(); }

// The block timer whose next block may go out once the line allows it.
form::Timer* due_block(Context& c) {
    auto& f = c.frm;
    if (!c.g.transfer.bus_ready || c.g.line.held || answer_awaited(c)) return nullptr;
    if (f.Timer1.enabled()) return &f.Timer1;
    if (f.Timer6.enabled() && f.chk_read_out.value() == 0) return &f.Timer6;
    return nullptr;
}

}  // namespace

bool answer_paced(const Context& c) { return c.g.link.pace == model::Pace::Answer; }

std::int64_t next_request_at_ms(const Context& c) {
    // The reply time-out's repeat goes out when the time-out says, as under
    // the schedule: held, it could follow the very answer it asks for.
    if (!answer_paced(c) || c.g.line.repeating) return kAnyTime;
    const auto& l = c.g.line;
    double at = -std::numeric_limits<double>::infinity();
    if (l.heard_ms) at = static_cast<double>(*l.heard_ms) + silence_ms(c);
    if (l.now.copies > 0) at = std::max(at, static_cast<double>(l.now.last_ms + min_response(c)));
    return std::isinf(at) ? kAnyTime : static_cast<std::int64_t>(std::ceil(at));
}

bool pace_allows_request(const Context& c) { return c.clock.now_ms() >= next_request_at_ms(c); }

void await_answer(Context& c) {
    if (!answer_paced(c)) return;
    // The soonest the answer can be complete, whatever carries the request:
    // a pseudo-terminal or a network port passes it on at once.
    auto& t = c.frm.TimerPace;
    t.set_interval(whole_ms(min_response(c) + frame_chars(c, reply_bytes(c.g.transfer.request_frame)) * char_ms(c)));
    t.start();
}

void block_due(Context& c) {
    if (!answer_paced(c) || !due_block(c)) return;
    auto& t = c.frm.TimerPace;
    t.set_interval(std::max<std::int64_t>(1, next_request_at_ms(c) - c.clock.now_ms()));
    t.start();
}

void TimerPace_Timer(Context& c) {
    auto& t = c.frm.TimerPace;
    const std::uint64_t sends = c.g.line.sends;
    if (!read_waiting(c)) return;
    // The answer read may have sent the next request already, which has
    // set this timer for its own answer.
    if (c.g.line.sends != sends) return;
    if (!answer_paced(c) || !c.port.is_open()) {
        t.stop();
        return;
    }
    if (answer_awaited(c)) {
        t.set_interval(look_again_ms(c));
        return;
    }
    form::Timer* block = due_block(c);
    if (!block) {
        t.stop();
        return;
    }
    const std::int64_t wait = next_request_at_ms(c) - c.clock.now_ms();
    if (wait > 0) {
        t.set_interval(wait);
        return;
    }
    t.stop();
    block->tick_now();
}

bool read_waiting(Context& c) {
    try {
        if (c.port.is_open() && c.port.waiting_count() > 0) c.events->read_waiting();
    } catch (const form::PortError& e) {
        c.events->port_failed(e);
        return false;
    }
    return true;
}

std::int64_t paced_exchange_ms(const Context& c, const std::string& request, std::int32_t min_response_ms) {
    return whole_ms(answer_ms(c, request, min_response_ms) + silence_ms(c));
}

}  // namespace vor3::link
