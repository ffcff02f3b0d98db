#include "link/traffic.h"

#include <cstdio>

#include "link/framing.h"
#include "link/hex.h"
#include "link/mbap.h"
#include "model/captions.h"
#include "model/register_map.h"

namespace vor3::link {

namespace {

using model::Caption;

// The first register of a reply that answers no request known.
constexpr int kUnknownRequest = -2;

// The longest frame the line can carry; a tail that long that is still no
// frame never becomes one.
constexpr std::size_t kLongestFrame = 256 * 2 + 4;

int word(const std::string& pdu, std::size_t at) {
    return (static_cast<unsigned char>(pdu[at]) << 8) | static_cast<unsigned char>(pdu[at + 1]);
}

// Address to data, without checksum and framing.
std::string pdu_of(const TrafficEntry& e) {
    if (e.mode == "MBAP") return std::string(mbap_adu(e.bytes));
    if (e.mode == model::framing_name(model::Framing::Ascii)) {
        std::string bytes;
        if (e.bytes.size() < 5 || !hex_to_bytes(e.bytes.substr(1, e.bytes.size() - 3), bytes)) return {};
        if (!bytes.empty()) bytes.pop_back();  // LRC
        return bytes;
    }
    return e.bytes.size() >= 2 ? e.bytes.substr(0, e.bytes.size() - 2) : std::string();
}

bool unsigned_register(int address) {
    for (const auto& f : model::field_map())
        if (f.address == address && f.encoding != model::Encoding::Coil)
            return f.encoding == model::Encoding::Unsigned16;
    return false;
}

// Register values as whole numbers, signed unless the register starting at
// `first` + i is an unsigned one (-1: registers unknown, all signed); as
// they came, in hex, where no request is known that they answer (-2).
std::string words(const std::string& pdu, std::size_t from, int count, int first) {
    std::string out;
    for (int i = 0; i < count && from + 2 * static_cast<std::size_t>(i) + 1 < pdu.size(); ++i) {
        const int raw = word(pdu, from + 2 * static_cast<std::size_t>(i));
        const bool plain = first >= 0 && unsigned_register(first + i);
        out += i ? ", " : "";
        if (first == kUnknownRequest)
            out += "0x" + LongToHexStr(raw, 2);
        else
            out += std::to_string(plain ? raw : static_cast<std::int16_t>(raw));
    }
    return out;
}

// Coil states as 0 and 1, the first coil first.
std::string bits(const std::string& pdu, std::size_t from, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = from + static_cast<std::size_t>(i / 8);
        if (at >= pdu.size()) break;
        out += ((static_cast<unsigned char>(pdu[at]) >> (i % 8)) & 1) ? '1' : '0';
    }
    return out;
}

std::string range(int first, int count) {
    char text[32];
    if (count <= 1)
        std::snprintf(text, sizeof text, "0x%04X", first);
    else
        std::snprintf(text, sizeof text, "0x%04X..0x%04X", first, first + count - 1);
    return text;
}

std::string describe_request(const std::string& pdu, const std::string& l) {
    const std::string address = std::to_string(static_cast<unsigned char>(pdu[0]));
    const int function = static_cast<unsigned char>(pdu[1]);
    if (pdu.size() >= 6) {
        const int first = word(pdu, 2), count = word(pdu, 4);
        switch (function) {
        case 1: return model::caption(Caption::traffic_read_coils, l, {address, range(first, count)});
        case 3: return model::caption(Caption::traffic_read_registers, l, {address, range(first, count)});
        case 15:
            return model::caption(Caption::traffic_write_coils, l, {address, range(first, count), bits(pdu, 7, count)});
        case 16:
            return model::caption(Caption::traffic_write_registers, l,
                                  {address, range(first, count), words(pdu, 7, count, first)});
        default: break;
        }
    }
    return model::caption(Caption::traffic_function, l, {address, ByteToHex(static_cast<std::uint8_t>(function))});
}

std::string describe_reply(const std::string& pdu, const std::string& l, int first_register) {
    const std::string address = std::to_string(static_cast<unsigned char>(pdu[0]));
    const int function = static_cast<unsigned char>(pdu[1]);
    if (function & 0x80 && pdu.size() >= 3) {
        const int code = static_cast<unsigned char>(pdu[2]);
        return model::caption(
            Caption::traffic_exception, l,
            {address, ByteToHex(static_cast<std::uint8_t>(code)), model::caption(model::exception_caption(code), l),
             ByteToHex(static_cast<std::uint8_t>(function & 0x7F))});
    }
    if ((function == 1 || function == 3) && pdu.size() >= 3) {
        const int count = static_cast<unsigned char>(pdu[2]);
        return function == 1
                   ? model::caption(Caption::traffic_coils, l, {address, bits(pdu, 3, 8 * count)})
                   : model::caption(Caption::traffic_registers, l, {address, words(pdu, 3, count / 2, first_register)});
    }
    if ((function == 15 || function == 16) && pdu.size() >= 6)
        return model::caption(Caption::traffic_written, l, {address, range(word(pdu, 2), word(pdu, 4))});
    return model::caption(Caption::traffic_function, l, {address, ByteToHex(static_cast<std::uint8_t>(function))});
}

}  // namespace

void TrafficRecord::add(TrafficEntry entry) {
    if (paused) return;
    entry.number = next_++;
    if (entries_.size() == kCapacity) entries_.pop_front();
    entries_.push_back(std::move(entry));
    if (on_entry) on_entry(entries_.back());
}

TrafficPort::TrafficPort(form::SerialPort& inner, form::Clock& clock, TrafficRecord& record,
                         std::function<std::string()> mode)
    : form::ForwardingPort(inner), clock_(clock), record_(record), mode_(std::move(mode)) {}

std::string TrafficPort::mode() const {
    if (inner_.carrier() == form::Carrier::ModbusTcp) return "MBAP";
    if (last_request_.empty()) return mode_();
    const bool ascii = last_request_.front() == ':' && last_request_.size() > 2 &&
                       last_request_.compare(last_request_.size() - 2, 2, "\r\n") == 0;
    return model::framing_name(ascii ? model::Framing::Ascii : model::Framing::Rtu);
}

void TrafficPort::add(bool sent, std::string bytes, TrafficEntry::Kind kind) {
    TrafficEntry e;
    e.at_ms = clock_.now_ms();
    e.sent = sent;
    e.mode = mode();
    e.bytes = std::move(bytes);
    e.kind = kind;
    if (!sent) e.first_register = kind == TrafficEntry::Kind::Frame ? first_register_of(e) : first_register_read_;
    record_.add(std::move(e));
    if (on_kind) on_kind(kind);
}

int TrafficPort::first_register_of(const TrafficEntry& reply) const {
    if (!request_of_reply) return first_register_read_;
    const std::string pdu = pdu_of(reply);
    std::string request;
    if (pdu.size() < 2 || !hex_to_bytes(request_of_reply(pdu), request)) return -1;
    if (request.empty()) return kUnknownRequest;
    return request.size() >= 4 && request[1] == 3 ? word(request, 2) : -1;
}

void TrafficPort::set_open(bool on) {
    cut_frames(Cut::Closing);
    inner_.set_open(on);
}

void TrafficPort::write(std::string_view bytes) {
    // What is left of the last reply is noise by now: the reader forgets
    // a frame begun before a request.
    cut_frames(Cut::Sending);
    inner_.write(bytes);
    last_request_ = std::string(bytes);
    add(true, last_request_, TrafficEntry::Kind::Frame);
    TrafficEntry request;  // (the record may be paused: not from there)
    request.mode = mode();
    request.bytes = last_request_;
    const std::string pdu = pdu_of(request);
    first_register_read_ = pdu.size() >= 4 && pdu[1] == 3 ? word(pdu, 2) : -1;
}

std::string TrafficPort::read_all() {
    std::string data = inner_.read_all();
    heard_ += data;
    cut_frames(Cut::Reading);
    return data;
}

// Modbus TCP frames say their own length; where a header cannot be one,
// nothing tells where the next frame begins, and the rest is noise.
void TrafficPort::cut_mbap_frames(Cut when) {
    std::size_t start = 0;
    while (start < heard_.size()) {
        const std::string_view rest = std::string_view(heard_).substr(start);
        const int length = mbap_frame_length(rest);
        if (length < 0) {
            add(false, std::string(rest), TrafficEntry::Kind::Noise);
            start = heard_.size();
        } else if (length > 0 && static_cast<std::size_t>(length) <= rest.size()) {
            add(false, std::string(rest.substr(0, static_cast<std::size_t>(length))), TrafficEntry::Kind::Frame);
            start += static_cast<std::size_t>(length);
        } else {
            if (when == Cut::Closing) {
                add(false, std::string(rest), TrafficEntry::Kind::Noise);
                start = heard_.size();
            }
            break;
        }
    }
    heard_.erase(0, start);
}

void TrafficPort::cut_frames(Cut when) {
    using Kind = TrafficEntry::Kind;
    if (mode() == "MBAP") {
        cut_mbap_frames(when);
        return;
    }
    // The bytes are cut where the reader cuts them: its own splitter, fed
    // the same bytes, finds the frames (of every station, so that the
    // traffic shows other talkers too). What lies between is noise, an
    // echo of the request, or a frame whose checksum failed.
    const bool ascii = mode() == model::framing_name(model::Framing::Ascii);
    model::ReaderState split;
    std::vector<std::string> frames;
    std::size_t start = 0;
    auto take = [&](std::size_t at, std::size_t length, Kind kind) {
        if (at > start) add(false, heard_.substr(start, at - start), Kind::Noise);
        add(false, heard_.substr(at, length), kind);
        start = at + length;
        split = {};
    };
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        if (!last_request_.empty() && heard_.compare(i, last_request_.size(), last_request_) == 0) {
            take(i, last_request_.size(), Kind::Echo);
            i = start - 1;
            continue;
        }
        const std::size_t begun = split.collecting ? split.rx_text.size() : 0;
        if (ascii)
            feed_ascii(split, heard_[i], frames);
        else
            feed_rtu(split, rtu_frame_length, static_cast<std::uint8_t>(heard_[i]), frames);
        if (!frames.empty()) {
            const std::size_t length = ascii ? split.rx_text.size() : frames.back().size();
            frames.clear();
            take(i + 1 - length, length, Kind::Frame);
        } else if (ascii && begun > 0 && heard_[i] == '\n' && !split.collecting) {
            take(i - begun, begun + 1, Kind::BadChecksum);  // a whole frame the splitter dropped
        }
    }
    if (start == heard_.size()) {
        heard_.clear();
        return;
    }
    // The rest may still become a frame while the reader holds it. Once a
    // request goes out the reader forgets it, and so it is noise; a reply
    // complete in its shape but not in its checksum is told at once.
    const std::string_view rest = std::string_view(heard_).substr(start);
    const bool shaped = !ascii && rtu_frame_length(rest) == rest.size();
    const std::size_t held = ascii ? (split.collecting ? split.rx_text.size() : 0) : split.rx_count;
    if (shaped || when != Cut::Reading) {
        add(false, std::string(rest), shaped ? Kind::BadChecksum : Kind::Noise);
        heard_.clear();
    } else if (rest.size() > kLongestFrame && held < rest.size()) {
        add(false, std::string(rest.substr(0, rest.size() - held)), Kind::Noise);
        heard_.erase(0, heard_.size() - held);
    } else {
        heard_.erase(0, start);
    }
}

std::string pace_bound_text(int reg, std::int32_t held, const std::string& language) {
    return model::caption(reg == 6 ? Caption::pace_display_bounded : Caption::pace_response_bounded, language,
                          {std::to_string(held), std::to_string(model::pace_bound(reg))});
}

std::string describe(const TrafficEntry& e, const std::string& language) {
    switch (e.kind) {
    case TrafficEntry::Kind::Noise: return model::caption(Caption::traffic_noise, language);
    case TrafficEntry::Kind::Echo: return model::caption(Caption::traffic_echo, language);
    case TrafficEntry::Kind::BadChecksum: return model::caption(Caption::traffic_bad_checksum, language);
    case TrafficEntry::Kind::StaleAnswer: return model::caption(Caption::traffic_stale_answer, language);
    case TrafficEntry::Kind::NotAwaited: return model::caption(Caption::traffic_not_awaited, language);
    case TrafficEntry::Kind::WrongTransaction: return model::caption(Caption::traffic_wrong_transaction, language);
    case TrafficEntry::Kind::WrongHeader: return model::caption(Caption::traffic_wrong_header, language);
    case TrafficEntry::Kind::PaceBounded: return pace_bound_text(e.pace_register, e.pace_held, language);
    case TrafficEntry::Kind::Frame: break;
    }
    const std::string pdu = pdu_of(e);
    if (pdu.size() < 2) return model::caption(Caption::traffic_noise, language);
    std::string meaning = e.sent ? describe_request(pdu, language) : describe_reply(pdu, language, e.first_register);
    if (e.mode != "MBAP") return meaning;
    return model::caption(
        Caption::traffic_mbap, language,
        {std::to_string(mbap_transaction(e.bytes)), std::to_string(static_cast<unsigned char>(pdu[0])), meaning});
}

std::string traffic_line(const TrafficEntry& e, const std::string& language, const std::string& time) {
    char head[64];
    const bool note = e.bytes.empty() && e.kind != TrafficEntry::Kind::Frame;
    const char* direction = note ? "--" : e.sent ? "TX" : "RX";
    if (time.empty())
        std::snprintf(head, sizeof head, "%10lld ms  %s  ", static_cast<long long>(e.at_ms), direction);
    else
        std::snprintf(head, sizeof head, "%.20s  %s  ", time.c_str(), direction);
    if (note) return head + describe(e, language);
    std::string hex;
    for (unsigned char b : e.bytes) {
        if (!hex.empty()) hex += ' ';
        hex += ByteToHex(b);
    }
    std::string line = head + hex;
    if (e.mode == model::framing_name(model::Framing::Ascii)) {
        std::string text;
        for (char ch : e.bytes)
            text += ch == '\r'   ? std::string("\\r")
                    : ch == '\n' ? std::string("\\n")
                    : (static_cast<unsigned char>(ch) < 32 || static_cast<unsigned char>(ch) > 126)
                        ? std::string(".")
                        : std::string(1, ch);
        line += "  \"" + text + "\"";
    }
    return line + "  " + describe(e, language);
}

}  // namespace vor3::link
