#include "reply/reader.h"

#include <string_view>
#include <vector>

#include "link/answers.h"
#include "link/framing.h"
#include "link/hex.h"
#include "link/pace.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "reply/decoder.h"

namespace vor3::reply {

// Which request a frame answers, and where a frame ends, the link knows.
using link::awaited_length;
using link::expectation_of;
using link::feed_ascii;
using link::feed_rtu;
using link::fit;
using link::Fit;
using link::FrameLength;
using link::judge;
using link::kRtuCapacity;
using link::note_answered;
using link::rtu_frame_length;
using link::Verdict;

namespace {

int configured_address(const Context& c) { return link::device_address(c); }

void accept_reply_steps(Context& c) {
    auto& f = c.frm;
    // A reply that comes after the give-up is still read, but the warning
    // stays until the next transmission: that transfer did not finish.
    const bool awaited = f.Timer5.enabled() || f.Timer3.enabled();
    f.Timer5.stop();
    f.Timer3.stop();
    if (awaited) f.warning_line().set_visible(false);
    f.chk_read_out.set_enabled(true);
    if (f.chk_read_out.value() == 0) {
        f.read_out_parameter.set_enabled(true);
        c.events->marks_changed();
    }
    if (awaited) c.events->transfer_progressed();
}

// The sensor refused the request: end the transfer as a give-up does and
// tell the user what the sensor said.
void end_with_exception(Context& c, int code) {
    // A refused read-out would be refused again at every poll: it ends.
    c.frm.chk_read_out.set_value(0);
    link::give_up(c, model::TransferOutcome::Refused, code);
    c.msg.show(exception_text(code, c.g.lang.language, configured_address(c)));
}

// Says in the traffic that the frame just read was not taken.
void tell_not_taken(Context& c, Verdict v) {
    if (c.answer_not_taken) c.answer_not_taken(v == Verdict::AnsweredAlready);
}

// `frame` runs from the address to the checksum, which is `check_bytes`
// long and already verified.
void handle_frame(Context& c, const std::string& frame, std::size_t check_bytes, std::uint64_t sends_when_read) {
    if (frame.size() <= check_bytes) return;
    const std::string_view adu(frame.data(), frame.size() - check_bytes);
    if (static_cast<unsigned char>(adu[0]) != configured_address(c)) return;
    const Verdict v = judge(c, adu, sends_when_read);
    if (v == Verdict::Conflict) {
        tell_not_taken(c, v);
        link::end_with_conflict(c);
        return;
    }
    if (v != Verdict::Take) {
        // (Our own request heard back is named as an echo where it is
        // recorded.)
        if (v == Verdict::AnsweredAlready || link::bytes_to_hex(std::string(adu)) != c.g.line.now.request)
            tell_not_taken(c, v);
        link::line_heard(c);
        return;
    }
    note_answered(c, adu);
    c.events->line_event(form::LineEvent::Answer);
    const Fit how = fit(expectation_of(c.g.line.now.request), adu);
    accept_reply_steps(c);
    if (how == Fit::Refusal) {
        end_with_exception(c, static_cast<unsigned char>(adu[2]));
    } else {
        auto& r = c.g.reader;
        // An ASCII frame begun behind this one in the same read (a second
        // answer) is still being collected in the reader's text: it goes on
        // once this one is decoded, unless a request went out meanwhile.
        std::string begun;
        if (r.collecting) begun = std::move(r.rx_text);
        r.rx_text = link::bytes_to_hex(frame);
        c.g.transfer.bus_ready = true;
        decode(c, r.rx_text);
        c.events->show_progress();
        if (r.collecting) r.rx_text = std::move(begun);
        link::block_due(c);
    }
    link::line_heard(c);
}

// Frames in `data`, in the framing in force; `unawaited` counts the frames
// for our address of a shape no request awaits.
std::vector<std::string> frames_in(Context& c, const std::string& data, int& unawaited) {
    const bool rtu = c.g.link.protocol_mode == model::Framing::Rtu;
    // Only the replies awaited are looked for: a frame of another shape may
    // lie inside the data of the one that comes.
    const FrameLength awaited = [&c](std::string_view head) { return awaited_length(c, head); };
    const int address = configured_address(c);
    const FrameLength ours = [address](std::string_view head) {
        return static_cast<unsigned char>(head[0]) == address ? rtu_frame_length(head) : kRtuCapacity + 1;
    };
    std::vector<std::string> frames, others;
    unawaited = 0;
    for (char ch : data) {
        if (!rtu) {
            feed_ascii(c.g.reader, ch, frames);
            continue;
        }
        const std::size_t taken = frames.size();
        feed_rtu(c.g.reader, awaited, static_cast<std::uint8_t>(ch), frames);
        feed_rtu(c.g.unawaited, ours, static_cast<std::uint8_t>(ch), others);
        if (frames.size() != taken)
            c.g.unawaited.rx_count = 0;  // the same frame
        else
            unawaited += static_cast<int>(others.size());
        others.clear();
    }
    return frames;
}

std::size_t check_bytes(const Context& c) { return c.g.link.protocol_mode == model::Framing::Rtu ? 2 : 1; }

void error_recovery(Context& c) {
    auto& f = c.frm;
    auto& r = c.g.reader;
    auto& t = c.g.transfer;
    r.rx_bytes[0] = r.rx_bytes[1] = r.rx_bytes[2] = 0;
    r.rx_count = 0;
    c.g.unawaited.rx_count = 0;
    f.Timer1.stop();
    f.Timer6.stop();
    link::restart_block_read(c);
    link::clear_write_progress(c);
    t.reg_address = 0;
    t.request_kind = model::kIdle;
    f.chk_read_out.set_value(0);
    f.chk_read_out.set_enabled(true);
    f.read_out_parameter.set_enabled(true);
    f.set_parameter.set_enabled(false);
    link::transfer_ended(c, model::TransferOutcome::ReaderFault);
    c.msg.show(model::caption(model::Caption::msg_reader_error, c.g.lang.language));
}

}  // namespace

std::string exception_text(int code, const std::string& language, int address) {
    using model::Caption;
    const std::string number = link::ByteToHex(static_cast<std::uint8_t>(code));
    const std::string what = model::caption(model::exception_caption(code), language);
    // A gateway says that no sensor answered it, not that one refused.
    if (code == link::kGatewayPathUnavailable || code == link::kGatewayTargetFailed)
        return model::caption(Caption::msg_gateway_exception, language, {std::to_string(address), number, what});
    return model::caption(Caption::msg_modbus_exception, language, {number, what});
}

void Timer4_Timer(Context& c) {
    int waiting = 0;
    try {
        waiting = c.port.waiting_count();
    } catch (const form::PortError& e) {
        c.events->port_failed(e);
        return;
    }
    if (waiting >= 1) receive(c);
}

void receive(Context& c) {
    std::string data;
    try {
        data = c.port.read_all();
    } catch (const form::PortError& e) {
        c.events->port_failed(e);
        return;
    }
    if (!data.empty()) c.g.line.heard_ms = c.clock.now_ms();
    receive_bytes(c, data);
}

void receive_bytes(Context& c, const std::string& data) {
    if (!c.g.link.protocol_mode) return;
    try {
        int unawaited = 0;
        const std::vector<std::string> frames = frames_in(c, data, unawaited);
        for (int i = 0; i < unawaited; ++i) tell_not_taken(c, Verdict::NotAwaited);
        // Each reply is held against the request outstanding when it is
        // handled: a reply moves the transfer on and sends the next request,
        // which the rest of this batch, read before it went out, cannot answer.
        const std::uint64_t sends_when_read = c.g.line.sends;
        for (const std::string& frame : frames) handle_frame(c, frame, check_bytes(c), sends_when_read);
    } catch (const std::exception&) {
        error_recovery(c);
    }
}

void clear_line_before_sending(Context& c) {
    if (!c.g.link.protocol_mode) return;
    std::string data;
    if (c.port.waiting_count() > 0) data = c.port.read_all();
    if (!data.empty()) c.g.line.heard_ms = c.clock.now_ms();
    int unawaited = 0;
    for (const std::string& frame : frames_in(c, data, unawaited)) {
        const std::string_view adu(frame.data(), frame.size() - check_bytes(c));
        if (adu.empty() || static_cast<unsigned char>(adu[0]) != configured_address(c)) continue;
        // Nothing read now answers the request about to go out. A second,
        // different answer to the request before still says two devices
        // answer.
        const Verdict v = judge(c, adu, c.g.line.sends);
        if (v == Verdict::Conflict) c.g.line.conflict = true;
        tell_not_taken(c, v == Verdict::Take ? Verdict::NotAwaited : v);
    }
    for (int i = 0; i < unawaited; ++i) tell_not_taken(c, Verdict::NotAwaited);
    // A frame begun before the request goes out is no answer to it.
    auto& r = c.g.reader;
    r.rx_count = 0;
    r.rx_text.clear();
    r.collecting = false;
    c.g.unawaited.rx_count = 0;
}

}  // namespace vor3::reply
