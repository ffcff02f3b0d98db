#include "reply/answers.h"

#include <algorithm>

#include "link/hex.h"

namespace vor3::reply {

namespace {

// Copies of one request and stale answers remembered; a sensor that makes
// more would be answered by the time-out's give-up anyway.
constexpr std::size_t kMaxCopies = 4;
constexpr std::size_t kMaxStale = 8;
// How far a stale answer may stray from where it is expected, beyond one
// poll period: the sensor's own response time varies a little.
constexpr std::int64_t kArrivalSlackMs = 100;

bool is_read_function(int f) { return f == 1 || f == 3; }
bool is_write_function(int f) { return f == 15 || f == 16; }

int word_at(std::string_view bytes, std::size_t i) {
    return (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]);
}

// The least time between sending a request and having its answer read: the
// request and the shortest reply (an exception) on the line, one character
// after the other. Anything read sooner answers something else.
double shortest_exchange_ms(const Context& c, const std::string& request_hex) {
    const bool ascii = c.g.link.protocol_mode == "ASCII";
    const double request_bytes = static_cast<double>(request_hex.size()) / 2;
    constexpr double kExceptionBytes = 3;
    // RTU: the bytes and a two-byte CRC; ASCII: ':', two digits a byte and
    // for the LRC, CR LF.
    auto chars = [&](double bytes) { return ascii ? 1 + 2 * (bytes + 1) + 2 : bytes + 2; };
    return (chars(request_bytes) + chars(kExceptionBytes)) * model::char_time_ms(c.g.link);
}

}  // namespace

Expectation expectation_of(const std::string& request_hex) {
    Expectation e;
    std::string bytes;
    if (!link::hex_to_bytes(request_hex, bytes) || bytes.size() < 2) return e;
    e.address = static_cast<unsigned char>(bytes[0]);
    e.function = static_cast<unsigned char>(bytes[1]);
    if (bytes.size() < 6) return e;
    e.first = word_at(bytes, 2);
    e.quantity = word_at(bytes, 4);
    if (is_read_function(e.function)) e.reply_data_bytes = e.function == 3 ? 2 * e.quantity : (e.quantity + 7) / 8;
    return e;
}

Fit fit(const Expectation& e, std::string_view adu) {
    if (adu.size() < 3 || static_cast<unsigned char>(adu[0]) != e.address) return Fit::None;
    const int function = static_cast<unsigned char>(adu[1]);
    if (function == (e.function | 0x80) && adu.size() == 3) return Fit::Refusal;
    if (function != e.function) return Fit::None;
    if (is_read_function(function))
        return static_cast<unsigned char>(adu[2]) == e.reply_data_bytes &&
                       adu.size() == 3 + static_cast<std::size_t>(e.reply_data_bytes)
                   ? Fit::Answer
                   : Fit::None;
    // A write is acknowledged by its start and quantity alone; an echo of
    // the request itself is longer.
    if (is_write_function(function))
        return adu.size() == 6 && word_at(adu, 2) == e.first && word_at(adu, 4) == e.quantity ? Fit::Answer
                                                                                              : Fit::None;
    return Fit::None;
}

void note_sent(Context& c) {
    auto& l = c.g.line;
    ++l.sends;
    const std::string& frame = c.g.transfer.request_frame;
    if (l.answered || l.copies_ms.empty() || frame != l.request) {
        l.request = frame;
        l.request_number = l.sends;
        l.copies_ms.clear();
        l.answered = false;
    }
    if (l.copies_ms.size() < kMaxCopies) l.copies_ms.push_back(c.clock.now_ms());
}

bool stale(Context& c, std::string_view adu, std::uint64_t sends_when_read) {
    auto& l = c.g.line;
    const std::int64_t now = c.clock.now_ms();
    const std::int64_t slack = c.frm.Timer4.interval() + kArrivalSlackMs;
    std::erase_if(l.stale, [&](const model::LineState::StaleAnswer& s) { return now > s.due_ms + slack; });
    if (l.answered || sends_when_read < l.request_number) return true;
    // Read sooner than the line could carry the request and a reply, and the
    // very answer the last request got: a second copy of that answer. (Only
    // such a copy: a peer on a virtual line answers faster than any wire,
    // and its fresh answer must not be thrown away.)
    if (!l.copies_ms.empty() && adu == l.last_answer &&
        static_cast<double>(now - l.copies_ms.front()) < shortest_exchange_ms(c, l.request))
        return true;
    const auto hit = std::find_if(l.stale.begin(), l.stale.end(), [&](const model::LineState::StaleAnswer& s) {
        return now >= s.due_ms - slack && fit(expectation_of(s.request), adu) != Fit::None;
    });
    if (hit == l.stale.end()) return false;
    l.stale.erase(hit);
    return true;
}

void note_answered(Context& c, std::string_view adu) {
    auto& l = c.g.line;
    l.answered = true;
    l.last_answer = std::string(adu);
    ++l.answers;
    l.last_answered = l.request_number;
    const std::int64_t now = c.clock.now_ms();
    for (std::size_t i = 1; i < l.copies_ms.size() && l.stale.size() < kMaxStale; ++i)
        l.stale.push_back({l.request, now + (l.copies_ms[i] - l.copies_ms[0])});
}

}  // namespace vor3::reply
