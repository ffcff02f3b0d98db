#include "link/modbus_tcp_port.h"

#include <algorithm>
#include <utility>

#include "link/hex.h"
#include "link/mbap.h"
#include "link/transmit.h"

namespace vor3::link {

namespace {

// Transactions of earlier requests whose late answers are still told
// apart from noise: far more than answers can be on their way.
constexpr std::size_t kEarlierKept = 256;

// The ADU of a request framed for the serial line; empty when it is no
// such frame. (An RTU frame may begin with ':' and end in CR LF by chance;
// only its checksum tells.)
std::string adu_of(std::string_view frame, bool& ascii) {
    std::string bytes;
    ascii = frame.size() >= 5 && frame.front() == ':' && frame.substr(frame.size() - 2) == "\r\n" &&
            hex_to_bytes(frame.substr(1, frame.size() - 3), bytes) && bytes.size() >= 3 &&
            CalculateLRC(bytes_to_hex(bytes.substr(0, bytes.size() - 1))) ==
                ByteToHex(static_cast<std::uint8_t>(bytes.back()));
    if (ascii) return bytes.substr(0, bytes.size() - 1);
    if (frame.size() < 4 || crc16(frame) != 0) return {};
    return std::string(frame.substr(0, frame.size() - 2));
}

}  // namespace

ModbusTcpPort::ModbusTcpPort(form::SerialPort& inner, std::function<void(Drop)> dropped,
                             std::function<bool()> repeating)
    : form::ForwardingPort(inner), dropped_(std::move(dropped)), repeating_(std::move(repeating)) {}

void ModbusTcpPort::forget() {
    request_.clear();
    copies_.clear();
    earlier_.clear();
    in_.clear();
    out_.clear();
}

void ModbusTcpPort::set_open(bool on) {
    forget();
    inner_.set_open(on);
}

void ModbusTcpPort::write(std::string_view bytes) {
    if (!gateway()) {
        inner_.write(bytes);
        return;
    }
    bool ascii = false;
    const std::string adu = adu_of(bytes, ascii);
    // The program writes only frames it made itself; anything else would
    // reach no sensor.
    if (adu.empty()) return;
    const std::uint16_t transaction = next_transaction_++;
    inner_.write(mbap_frame(transaction, adu));
    const bool repeat = repeating_ && repeating_() && adu == request_ && !copies_.empty();
    if (!repeat) {
        for (std::uint16_t t : copies_) earlier_.emplace_back(t, static_cast<std::uint8_t>(request_[0]));
        while (earlier_.size() > kEarlierKept) earlier_.pop_front();
        copies_.clear();
        request_ = adu;
    }
    copies_.push_back(transaction);
    ascii_ = ascii;
}

int ModbusTcpPort::waiting_count() {
    if (!gateway()) return inner_.waiting_count();
    take_in();
    return static_cast<int>(out_.size());
}

std::string ModbusTcpPort::read_all() {
    if (!gateway()) return inner_.read_all();
    take_in();
    return std::exchange(out_, {});
}

void ModbusTcpPort::take_in() {
    if (inner_.waiting_count() > 0) in_ += inner_.read_all();
    while (!in_.empty()) {
        const int length = mbap_frame_length(in_);
        if (length < 0) {
            // Where a header cannot be one, nothing tells where the next
            // frame begins: what has come is given up.
            in_.clear();
            dropped_(Drop::Header);
            return;
        }
        if (length == 0 || static_cast<std::size_t>(length) > in_.size()) return;
        const std::string frame = in_.substr(0, static_cast<std::size_t>(length));
        in_.erase(0, static_cast<std::size_t>(length));
        take_answer(frame);
    }
}

void ModbusTcpPort::take_answer(std::string_view frame) {
    const std::uint16_t transaction = mbap_transaction(frame);
    const std::string_view adu = mbap_adu(frame);
    const auto unit = static_cast<std::uint8_t>(adu[0]);
    const bool outstanding = std::find(copies_.begin(), copies_.end(), transaction) != copies_.end();
    const auto earlier =
        std::find_if(earlier_.begin(), earlier_.end(), [&](const auto& e) { return e.first == transaction; });
    const bool other_unit = !request_.empty() && unit != static_cast<std::uint8_t>(request_[0]);
    if (!outstanding && (earlier == earlier_.end() || !other_unit)) {
        dropped_(Drop::Transaction);
        return;
    }
    const std::uint8_t asked = outstanding ? static_cast<std::uint8_t>(request_[0]) : earlier->second;
    if (unit != asked || !answer_fits(adu)) {
        dropped_(Drop::Header);
        return;
    }
    out_ += frame_request(bytes_to_hex(adu), ascii_ ? model::Framing::Ascii : model::Framing::Rtu);
}

}  // namespace vor3::link
