#include "link/answers.h"

#include <algorithm>
#include <cmath>

#include "link/framing.h"
#include "link/hex.h"

namespace vor3::link {

namespace {

using Turn = model::LineState::Turn;

bool is_read_function(int f) { return f == 1 || f == 3; }
bool is_write_function(int f) { return f == 15 || f == 16; }

int word_at(std::string_view bytes, std::size_t i) {
    return (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]);
}

// Characters a frame of `adu_bytes` (address to data) and its checksum
// takes on the line in the mode in force.
double line_chars(const Context& c, int adu_bytes) {
    return link::line_chars(c.g.link.protocol_mode.value_or(model::Framing::Rtu), adu_bytes + 2);
}

bool fits(const Turn& t, std::string_view adu) {
    return t.copies > 0 && fit(expectation_of(t.request), adu) != Fit::None;
}

// The least time between sending a request and having its answer read: the
// request and the shortest reply (an exception) on the line, one character
// after the other. Anything read sooner answers something else.
double shortest_exchange_ms(const Context& c, const std::string& request_hex) {
    const int request_bytes = static_cast<int>(request_hex.size() / 2);
    constexpr int kExceptionBytes = 3;
    return (line_chars(c, request_bytes) + line_chars(c, kExceptionBytes)) * model::char_time_ms(c.g.link);
}

// How long after an answer is read a second answer to the same copy of the
// request (a second device, a repeater sending right after it) may still
// come: one more frame of its length at the line's pace.
std::int64_t second_answer_ms(const Context& c, std::size_t adu_bytes) {
    return static_cast<std::int64_t>(
        std::ceil(line_chars(c, static_cast<int>(adu_bytes)) * model::char_time_ms(c.g.link)));
}

// A late answer to the request before the one on the line.
Verdict judge_before(Turn& before, std::string_view adu) {
    if (!fits(before, adu)) return Verdict::NotAwaited;
    ++before.heard;
    if (!before.answered) return Verdict::NotAwaited;
    return before.copies == 1 && adu != before.answer ? Verdict::Conflict : Verdict::AnsweredAlready;
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
    if (is_read_function(e.function)) e.reply_data_bytes = link::reply_data_bytes(e.function, e.quantity);
    return e;
}

std::size_t reply_length(const Expectation& e, std::string_view head) {
    constexpr std::size_t kNever = kRtuCapacity + 1;
    const auto at = [&](std::size_t i) { return static_cast<int>(static_cast<unsigned char>(head[i])); };
    if (head.empty()) return 0;
    if (at(0) != e.address) return kNever;
    if (head.size() < 2) return 0;
    if (at(1) == (e.function | 0x80)) return 5;  // address, function, code, CRC
    if (at(1) != e.function) return kNever;
    if (is_write_function(e.function)) return 8;
    if (!is_read_function(e.function)) return kNever;
    if (head.size() < 3) return 0;
    return at(2) == e.reply_data_bytes ? static_cast<std::size_t>(e.reply_data_bytes) + 5 : kNever;
}

std::size_t awaited_length(const Context& c, std::string_view head) {
    std::size_t length = kRtuCapacity + 1;
    for (const Turn* t : {&c.g.line.now, &c.g.line.before}) {
        if (t->copies == 0) continue;
        const std::size_t n = reply_length(expectation_of(t->request), head);
        if (n == 0) return 0;
        length = std::min(length, n);
    }
    return length;
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
        return adu.size() == 6 && word_at(adu, 2) == e.first && word_at(adu, 4) == e.quantity ? Fit::Answer : Fit::None;
    return Fit::None;
}

void note_sent(Context& c, std::int64_t quiet_at_ms) {
    auto& l = c.g.line;
    ++l.sends;
    const std::string& frame = c.g.transfer.request_frame;
    const std::int64_t now = c.clock.now_ms();
    if (l.now.answered || l.now.copies == 0 || frame != l.now.request) {
        l.before = std::move(l.now);
        l.now = Turn{};
        l.now.request = frame;
        l.now.number = l.sends;
        l.now.first_ms = now;
    }
    ++l.now.copies;
    l.now.last_ms = now;
    l.now.quiet_at_ms = quiet_at_ms;
}

Verdict judge(Context& c, std::string_view adu, std::uint64_t sends_when_read) {
    auto& l = c.g.line;
    Turn& now = l.now;
    // Read before the request on the line went out: it answers the one
    // before (a reply moved the transfer on within the same batch).
    if (sends_when_read < now.number || !fits(now, adu)) return judge_before(l.before, adu);
    if (now.answered) {
        ++now.heard;
        return now.copies == 1 && adu != now.answer ? Verdict::Conflict : Verdict::AnsweredAlready;
    }
    // Read sooner than the line could carry the request and a reply, and
    // the very answer the request before got: a second copy of that
    // answer. (Only such a copy: a peer on a virtual line answers faster
    // than any wire, and its fresh answer must not be thrown away.)
    const auto since = static_cast<double>(c.clock.now_ms() - now.first_ms);
    if (since < shortest_exchange_ms(c, now.request) && l.before.answered && adu == l.before.answer) {
        ++l.before.heard;
        return Verdict::AnsweredAlready;
    }
    ++now.heard;
    return Verdict::Take;
}

void note_answered(Context& c, std::string_view adu) {
    auto& l = c.g.line;
    l.now.answered = true;
    l.now.answer = std::string(adu);
    l.now.settled_at_ms = c.clock.now_ms() + second_answer_ms(c, adu.size());
    ++l.answers;
    l.last_answered = l.now.number;
}

std::string request_answered_by(const Context& c, std::string_view adu) {
    const auto& l = c.g.line;
    if (fits(l.now, adu) && !(l.before.answered && adu == l.before.answer && fits(l.before, adu))) return l.now.request;
    if (fits(l.before, adu)) return l.before.request;
    return {};
}

bool second_answer_may_come(const Context& c) {
    const Turn& now = c.g.line.now;
    return now.answered && c.clock.now_ms() < now.settled_at_ms;
}

bool line_free(const Context& c, const std::string& next) {
    const Turn& now = c.g.line.now;
    if (now.copies == 0 || now.heard >= now.copies) return true;
    if (!now.answered && next == now.request) return true;  // a repeat
    return c.clock.now_ms() >= now.quiet_at_ms;
}

}  // namespace vor3::link
