#include "link/transmit.h"

#include <algorithm>
#include <cmath>

#include "link/answers.h"
#include "link/hex.h"
#include "link/pace.h"
#include "link/transfer_reset.h"
#include "model/captions.h"
#include "model/numbers.h"

namespace vor3::link {

namespace {

// The slowest minimum response time the window lets a user set; assumed
// while the sensor's own is unknown, so a slow sensor is reachable from
// the first request on.
constexpr std::int32_t kSlowestSensorMs = model::kSlowestResponseMs;
// What a request that is not hex text is allowed, in RTU bytes: the reply
// to a read of a whole read block.
constexpr int kUnknownReplyBytes = 5 + 2 * model::kMaxReadBlock;

// The largest request the program sends and the largest reply it awaits,
// in RTU bytes, at the block sizes in force: a write of a whole write
// block (address, function, start, quantity, byte count, CRC and the
// registers); a read of a whole read block.
int largest_request_bytes(const Context& c) { return 9 + 2 * c.g.transfer.write_block; }
int largest_reply_bytes(const Context& c) { return reply_rtu_bytes(3, c.g.transfer.read_block); }

// The RTU length of the reply a request asks for.
int reply_bytes(const std::string& request) {
    std::string bytes;
    if (!hex_to_bytes(request, bytes) || bytes.size() < 6) return kUnknownReplyBytes;
    const int function = static_cast<unsigned char>(bytes[1]);
    const int quantity = (static_cast<unsigned char>(bytes[4]) << 8) | static_cast<unsigned char>(bytes[5]);
    return reply_rtu_bytes(function, quantity);
}

// Characters a frame of `rtu_bytes` takes on the line in the mode in force.
int line_chars(const Context& c, int rtu_bytes) {
    return link::line_chars(c.g.link.protocol_mode.value_or(model::Framing::Rtu), rtu_bytes);
}

std::int64_t allowance(const Context& c, int request_bytes, int reply_bytes_, std::int32_t min_response_ms) {
    const double line = (line_chars(c, request_bytes) + line_chars(c, reply_bytes_)) * model::char_time_ms(c.g.link);
    const double slack = static_cast<double>(c.frm.Timer4.interval()) + 50;
    return static_cast<std::int64_t>(std::ceil(std::max(0, min_response_ms) + line + slack));
}

std::int32_t known_or(const Context& c, std::int32_t unknown) {
    const auto m = c.g.transfer.min_response_ms;
    return m < 0 ? unknown : m;
}

// The reply time-out repeats as soon as the sensor could have answered;
// the give-up waits for the slowest sensor while its speed is unknown.
std::int64_t timeout_for(const Context& c, int req, int rep) {
    return std::max<std::int64_t>(model::kReplyTimeoutMs, allowance(c, req, rep, known_or(c, 0)));
}
std::int64_t give_up_for(const Context& c, int req, int rep) {
    return std::max<std::int64_t>(c.g.link.give_up_ms, allowance(c, req, rep, known_or(c, kSlowestSensorMs)));
}
// How long after a copy of a request its answer may still come. A sensor
// that did not answer in time is no longer taken at its word: the slowest
// the window allows, or its own minimum response time where that is slower.
std::int64_t answers_due_for(const Context& c, int req, int rep) {
    return allowance(c, req, rep, std::max(known_or(c, kSlowestSensorMs), kSlowestSensorMs));
}

// The request waits for the line; the turn timer sends it when the last
// answer that may still come is due, unless that answer comes first.
// Answer-paced, the line must also have been silent for long enough.
void hold(Context& c) {
    auto& l = c.g.line;
    l.held = true;
    const std::int64_t now = c.clock.now_ms();
    const std::int64_t due =
        std::max(line_free(c, c.g.transfer.request_frame) ? now : l.now.quiet_at_ms, next_request_at_ms(c));
    const std::int64_t wait = l.conflict ? 1 : std::max<std::int64_t>(1, due - now);
    c.frm.TimerTurn.stop();
    c.frm.TimerTurn.set_interval(wait);
    c.frm.TimerTurn.start();
    c.events->transfer_progressed();
}

// While the transfer stops, only a repeat of the request in flight goes
// out: nothing new is begun on the sensor, and the one in flight can still
// have its answer.
bool held_back(Context& c) {
    const auto& l = c.g.line;
    const bool repeat = l.now.copies > 0 && !l.now.answered && l.now.request == c.g.transfer.request_frame;
    if (!c.g.transfer.stopping || repeat) return false;
    c.g.line.held = false;
    c.frm.TimerTurn.stop();
    return true;
}

void transmit(Context& c) {
    auto& f = c.frm;
    if (held_back(c)) return;
    const std::string& request = c.g.transfer.request_frame;
    c.g.line.held = false;
    f.TimerTurn.stop();
    try {
        c.events->clear_line_before_sending();
        if (c.g.line.conflict) {
            hold(c);
            return;
        }
        c.port.write(frame_request(request, c.g.link.protocol_mode));
        c.events->line_event(form::LineEvent::Request);
        if (c.g.line.repeating) c.events->line_event(form::LineEvent::Repeat);
        c.g.line.repeating = false;
    } catch (const form::PortError& e) {
        c.g.line.repeating = false;
        c.events->port_failed(e);
        return;
    }
    const int req = static_cast<int>(request.size() / 2) + 2, rep = reply_bytes(request);
    note_sent(c, c.clock.now_ms() + answers_due_for(c, req, rep));
    // Each request starts the status window's time limit afresh, allowing
    // for the wait this request may need (a slower sensor pace included).
    c.events->transfer_progressed();
    f.Timer5.set_interval(timeout_for(c, req, rep));
    // A give-up already counting keeps its deadline.
    if (!f.Timer3.enabled()) f.Timer3.set_interval(give_up_for(c, req, rep));
    f.Timer5.start();
    await_answer(c);
}

}  // namespace

std::string frame_request(const std::string& request_frame, std::optional<model::Framing> protocol_mode) {
    if (protocol_mode == model::Framing::Ascii) return ":" + request_frame + CalculateLRC(request_frame) + "\r\n";
    if (protocol_mode == model::Framing::Rtu) {
        // The program builds every request as hex pairs; text that is not
        // would make a frame of guessed bytes, so none goes out.
        std::string bytes;
        return hex_to_bytes(request_frame, bytes) ? with_crc(bytes) : std::string{};
    }
    return {};
}

std::int64_t reply_allowance_ms(const Context& c, const std::string& request, std::int32_t min_response_ms) {
    return allowance(c, static_cast<int>(request.size() / 2) + 2, reply_bytes(request), min_response_ms);
}

std::int64_t paced_block_period_ms(const Context& c, std::int32_t min_response_ms) {
    const double line = (line_chars(c, largest_request_bytes(c)) + line_chars(c, largest_reply_bytes(c))) *
                        model::char_time_ms(c.g.link);
    return static_cast<std::int64_t>(
        std::ceil(std::max(0, min_response_ms) + line + static_cast<double>(c.frm.Timer4.interval())));
}

std::int64_t longest_wait_ms(const Context& c) {
    // A request may first wait for the late answers of the one before.
    const int req = largest_request_bytes(c), rep = largest_reply_bytes(c);
    return answers_due_for(c, req, rep) + timeout_for(c, req, rep) + give_up_for(c, req, rep);
}

void send(Context& c) {
    auto& f = c.frm;
    if (held_back(c)) return;
    f.Timer5.stop();
    // While the cyclic read-out polls a silent sensor the warning stays up
    // until a reply comes; every other transmission starts afresh.
    if (f.chk_read_out.value() == 0) f.warning_line().set_visible(false);
    f.chk_read_out.set_enabled(true);
    if (!c.port.is_open()) {
        c.msg.show(model::caption(model::Caption::msg_port_not_open, c.g.lang.language));
        return;
    }
    if (!c.g.link.protocol_mode) return;  // start-up mode: nothing is sent
    if (c.g.line.conflict || !line_free(c, c.g.transfer.request_frame) || !pace_allows_request(c))
        hold(c);
    else
        transmit(c);
}

bool line_busy(const Context& c) {
    const auto& f = c.frm;
    return f.Timer3.enabled() || f.Timer5.enabled() || f.TimerTurn.enabled();
}

void TimerTurn_Timer(Context& c) {
    auto& l = c.g.line;
    c.frm.TimerTurn.stop();
    if (l.conflict) {
        end_with_conflict(c);
        return;
    }
    if (l.held) {
        // Answer-paced, what came meanwhile is read first: bytes still
        // coming put the request off until the line is silent.
        if (answer_paced(c) && (!read_waiting(c) || !l.held)) return;
        if (pace_allows_request(c))
            transmit(c);
        else
            hold(c);
        return;
    }
    // The last answer's time for a second one is over: what came meanwhile
    // is read now, and a second, different answer ends the transfer with
    // that said.
    try {
        if (c.port.is_open() && c.port.waiting_count() > 0) c.events->read_waiting();
    } catch (const form::PortError& e) {
        c.events->port_failed(e);
        return;
    }
    c.events->second_answer_over();
}

void watch_for_second_answer(Context& c) {
    auto& turn = c.frm.TimerTurn;
    if (turn.enabled() || !second_answer_may_come(c)) return;
    turn.set_interval(std::max<std::int64_t>(1, c.g.line.now.settled_at_ms - c.clock.now_ms()));
    turn.start();
}

void line_heard(Context& c) {
    const auto& l = c.g.line;
    if (!l.held || l.conflict || !line_free(c, c.g.transfer.request_frame)) return;
    if (pace_allows_request(c))
        transmit(c);
    else
        hold(c);
}

int device_address(const Context& c) {
    if (c.g.image.lent_address != 0) return c.g.image.lent_address;
    return static_cast<int>(model::leading_number(c.frm.txt_Modbus_adress.text()));
}

void end_with_conflict(Context& c) {
    auto& f = c.frm;
    c.g.line.conflict = false;
    // The same devices answer every next request too: the read-out ends.
    f.chk_read_out.set_value(0);
    end_transfer_early(c, model::TransferOutcome::AddressConflict);
    c.events->marks_changed();
    c.msg.show(
        model::caption(model::Caption::msg_address_conflict, c.g.lang.language, {std::to_string(device_address(c))}));
}

void Timer5_Timer(Context& c) {
    // An answer already waiting is read rather than asked for again.
    const std::uint64_t answers = c.g.line.answers;
    try {
        if (c.port.is_open() && c.port.waiting_count() > 0) c.events->read_waiting();
    } catch (const form::PortError& e) {
        c.events->port_failed(e);
        return;
    }
    if (c.g.line.answers != answers || !c.frm.Timer5.enabled()) return;
    // One repeat only: when the give-up timer already runs, the repeat has
    // gone out and the give-up decides (in ASCII both periods are equal, so
    // the time-out could otherwise tick again just before it).
    if (c.frm.Timer3.enabled()) {
        c.frm.Timer5.stop();
        return;
    }
    c.g.line.repeating = true;
    send(c);
    // Unless it waits for its turn, the repeat has gone out or never will.
    if (!c.g.line.held) c.g.line.repeating = false;
    // send may have found the port gone and closed the link; then there is
    // nothing left to give up on.
    if (c.port.is_open()) c.frm.Timer3.start();
}

void end_transfer_early(Context& c, model::TransferOutcome how, int exception_code) {
    c.events->write_ended(false);
    reset_transfer(c);
    c.events->abandon_status_window();
    c.frm.warning_line().set_visible(true);
    transfer_ended(c, how, exception_code);
}

void Timer3_Timer(Context& c) { give_up(c, model::TransferOutcome::NoAnswer); }

void give_up(Context& c, model::TransferOutcome how, int exception_code) {
    auto& f = c.frm;
    // Only the give-up timer's own tick gives up on a silent sensor; a
    // refusal ends the transfer the same way once its answer has stopped
    // the timer.
    if (f.Timer3.enabled()) c.events->line_event(form::LineEvent::GiveUp);
    if (f.chk_read_out.value() == 1) {
        // The cyclic read-out goes on polling at its pace; the warning
        // stays until the sensor answers again.
        f.Timer5.stop();
        f.Timer3.stop();
        read_blocks_from(c, static_cast<std::int16_t>(model::kMeasuredFirst));
        f.warning_line().set_visible(true);
        return;
    }
    end_transfer_early(c, how, exception_code);
    f.chk_read_out.set_enabled(false);
    // Edits that could not be written keep their marks, and the write can
    // be tried again without a read that would throw them away.
    c.events->marks_changed();
}

}  // namespace vor3::link
