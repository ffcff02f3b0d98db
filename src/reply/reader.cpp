#include "reply/reader.h"

#include <vector>

#include "link/hex.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "reply/decoder.h"
#include "ui/change_marking.h"
#include "ui/port_settings.h"
#include "ui/status_window.h"

namespace vor3::reply {

namespace {

constexpr std::size_t kRtuCapacity = 51;     // bytes one RTU reply may hold
constexpr std::size_t kAsciiCapacity = 600;  // characters of one ASCII frame

int configured_address(const Context& c) {
    return static_cast<int>(model::leading_number(c.frm.txt_Modbus_adress.text()));
}

bool is_read_function(int f) { return f == 1 || f == 3; }
bool is_write_function(int f) { return f == 15 || f == 16; }

// RTU frames are found by content: an address byte, an accepted function
// code, the length it implies, and a valid CRC. A candidate that fails is
// dropped and the bytes after its first one are scanned again, so noise or
// another station's traffic cannot hide a reply that follows it.
void feed_rtu(Context& c, std::uint8_t b, std::vector<std::string>& frames) {
    auto& r = c.g.reader;
    auto& expected = c.frm.expectedLength;
    auto restart_after_first = [&](std::size_t held) {
        const std::string rest(reinterpret_cast<const char*>(r.rx_bytes.data()) + 1, held - 1);
        r.rx_count = 0;
        for (unsigned char x : rest) feed_rtu(c, x, frames);
    };

    if (r.rx_count == 0) {
        if (b == configured_address(c)) {
            r.rx_bytes[0] = b;
            r.rx_count = 1;
        }
        return;
    }
    if (r.rx_count == 1) {
        const int function = b & 0x7F;
        if (!is_read_function(function) && !is_write_function(function)) {
            r.rx_count = 0;
            feed_rtu(c, b, frames);  // it may itself be an address
            return;
        }
        r.rx_bytes[1] = b;
        r.rx_count = 2;
        if (b & 0x80)
            expected = 5;  // exception: address, function, code, CRC
        else if (is_write_function(b))
            expected = 8;
        else
            expected = 0;  // known once the byte count arrives
        return;
    }
    if (r.rx_count == 2 && expected == 0) {
        expected = static_cast<std::int16_t>(b + 5);
        if (static_cast<std::size_t>(expected) > kRtuCapacity) {
            r.rx_count = 0;
            throw ReaderFault("reply longer than the reader holds");
        }
    }
    r.rx_bytes[static_cast<std::size_t>(r.rx_count++)] = b;
    if (r.rx_count < expected) return;

    const std::string frame(reinterpret_cast<const char*>(r.rx_bytes.data()), static_cast<std::size_t>(expected));
    const std::size_t held = static_cast<std::size_t>(r.rx_count);
    if (link::crc16(frame) == 0) {  // a CRC over a frame with its CRC is 0
        frames.push_back(frame);
        r.rx_count = 0;
    } else {
        restart_after_first(held);
    }
}

void feed_ascii(Context& c, char ch, std::vector<std::string>& frames) {
    auto& r = c.g.reader;
    if (ch == ':') {
        r.rx_text.assign(1, ':');
        r.collecting = true;
        return;
    }
    if (!r.collecting) return;  // nothing has begun: noise
    r.rx_text.push_back(ch);
    if (r.rx_text.size() > kAsciiCapacity) {
        r.rx_text.clear();
        r.collecting = false;
        return;
    }
    if (ch != '\n') return;
    r.collecting = false;
    std::string body = r.rx_text.substr(1);
    if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) body.resize(body.size() - 2);
    std::string bytes;
    unsigned sum = 0;
    if (link::hex_to_bytes(body, bytes) && bytes.size() >= 3) {
        for (unsigned char x : bytes) sum += x;
        if (sum % 256 == 0) {  // LRC over the message and the LRC is 0
            frames.push_back(bytes);
            return;
        }
    }
    r.rx_text.clear();  // a corrupted frame is dropped like noise
}

// What the last request asked for, to hold a reply against.
struct Expectation {
    int address = -1;
    int function = -1;
    int reply_data_bytes = -1;  // byte count a read reply must carry
};

Expectation expectation_of(const std::string& request) {
    Expectation e;
    std::string bytes;
    if (!link::hex_to_bytes(request, bytes) || bytes.size() < 2) return e;
    e.address = static_cast<unsigned char>(bytes[0]);
    e.function = static_cast<unsigned char>(bytes[1]);
    if (bytes.size() >= 6 && is_read_function(e.function)) {
        const int quantity = (static_cast<unsigned char>(bytes[4]) << 8) | static_cast<unsigned char>(bytes[5]);
        e.reply_data_bytes = e.function == 3 ? 2 * quantity : (quantity + 7) / 8;
    }
    return e;
}

void accept_reply_steps(Context& c) {
    auto& f = c.frm;
    // A reply that comes after the give-up is still read, but the warning
    // stays until the next transmission: that transfer did not finish.
    const bool awaited = f.Timer5.enabled() || f.Timer3.enabled();
    f.Timer5.stop();
    f.Timer3.stop();
    if (awaited) f.lbl_desc(16).set_visible(false);
    f.chk_read_out.set_enabled(true);
    if (f.chk_read_out.value() == 0) {
        f.read_out_parameter.set_enabled(true);
        ui::UpdateApplyButton(c, 0);
    }
    if (awaited) ui::transfer_progressed(c);
}

// The sensor refused the request: end the transfer as a give-up does and
// tell the user what the sensor said.
void end_with_exception(Context& c, int code) {
    // A refused read-out would be refused again at every poll: it ends.
    c.frm.chk_read_out.set_value(0);
    link::Timer3_Timer(c);
    c.msg.show(exception_text(code, c.g.lang.language));
}

void handle_frame(Context& c, const std::string& frame) {
    const Expectation e = expectation_of(c.g.transfer.request_frame);
    const int address = static_cast<unsigned char>(frame[0]);
    const int function = static_cast<unsigned char>(frame[1]);
    if (address != e.address || address != configured_address(c)) return;
    if (function == (e.function | 0x80) && frame.size() >= 4) {
        accept_reply_steps(c);
        end_with_exception(c, static_cast<unsigned char>(frame[2]));
        return;
    }
    if (function != e.function) return;  // not the answer to our request
    if (is_read_function(function) &&
        (frame.size() < 3 || static_cast<unsigned char>(frame[2]) != e.reply_data_bytes))
        return;
    accept_reply_steps(c);
    c.g.reader.rx_text = link::bytes_to_hex(frame);
    c.g.transfer.bus_ready = true;
    decode(c, c.g.reader.rx_text);
}

void error_recovery(Context& c) {
    auto& f = c.frm;
    auto& r = c.g.reader;
    auto& t = c.g.transfer;
    r.rx_bytes[0] = r.rx_bytes[1] = r.rx_bytes[2] = 0;
    r.rx_count = 0;
    f.Timer1.stop();
    f.Timer6.stop();
    f.alreadyRead = 0;
    f.countReadRegister = 0;
    t.block_count = 0;
    f.alreadyWrite = 0;
    f.countWriteRegister = 0;
    t.reg_address = 0;
    t.request_kind = model::kIdle;
    f.chk_read_out.set_value(0);
    f.chk_read_out.set_enabled(true);
    f.read_out_parameter.set_enabled(true);
    f.set_parameter.set_enabled(false);
    c.msg.show(model::caption(model::Caption::msg_reader_error, c.g.lang.language));
}

}  // namespace

std::string exception_text(int code, const std::string& language) {
    using model::Caption;
    Caption what = Caption::exception_other;
    switch (code) {
    case 1: what = Caption::exception_1; break;
    case 2: what = Caption::exception_2; break;
    case 3: what = Caption::exception_3; break;
    case 4: what = Caption::exception_4; break;
    case 6: what = Caption::exception_6; break;
    default: break;
    }
    const std::string number = link::ByteToHex(static_cast<std::uint8_t>(code));
    return model::caption(Caption::msg_modbus_exception, language, {number, model::caption(what, language)});
}

void Timer4_Timer(Context& c) {
    int waiting = 0;
    try {
        waiting = c.port.waiting_count();
    } catch (const link::PortError& e) {
        ui::port_failed(c, e);
        return;
    }
    if (waiting >= 1) receive(c);
}

void receive(Context& c) {
    std::string data;
    try {
        data = c.port.read_all();
    } catch (const link::PortError& e) {
        ui::port_failed(c, e);
        return;
    }
    receive_bytes(c, data);
}

void receive_bytes(Context& c, const std::string& data) {
    const std::string& mode = c.g.link.protocol_mode;
    if (mode != "RTU" && mode != "ASCII") return;
    try {
        std::vector<std::string> frames;
        for (char ch : data) {
            if (mode == "RTU")
                feed_rtu(c, static_cast<std::uint8_t>(ch), frames);
            else
                feed_ascii(c, ch, frames);
        }
        // Each reply is held against the request outstanding when it is
        // handled: a reply moves the transfer on and sends the next request.
        for (const std::string& frame : frames) handle_frame(c, frame);
    } catch (const std::exception&) {
        error_recovery(c);
    }
}

}  // namespace vor3::reply
