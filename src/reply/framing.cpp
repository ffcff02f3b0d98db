#include "reply/framing.h"

#include <string_view>

#include "link/hex.h"

namespace vor3::reply {

namespace {

constexpr std::size_t kAsciiCapacity = 600;  // characters of one ASCII frame

bool accepted_function(int f) { return f == 1 || f == 3 || f == 15 || f == 16; }

std::size_t implied_length(const std::uint8_t* held, std::size_t n) {
    return rtu_frame_length(std::string_view(reinterpret_cast<const char*>(held), n));
}

}  // namespace

std::size_t rtu_frame_length(std::string_view head) {
    constexpr std::size_t kNever = kRtuCapacity + 1;
    if (head.size() < 2) return 0;
    const int function = static_cast<unsigned char>(head[1]);
    if (!accepted_function(function & 0x7F)) return kNever;
    if (function & 0x80) return 5;  // exception: address, function, code, CRC
    if (function == 15 || function == 16) return 8;
    if (head.size() < 3) return 0;
    return static_cast<std::size_t>(static_cast<unsigned char>(head[2])) + 5;
}

void feed_rtu(model::ReaderState& r, int address, std::uint8_t b, std::vector<std::string>& frames) {
    auto held = [&] { return static_cast<std::size_t>(r.rx_count); };
    auto station = [&](std::uint8_t x) { return address == kAnyAddress || x == address; };
    if (held() == 0 && !station(b)) return;  // nothing begun: noise
    r.rx_bytes[held()] = b;
    ++r.rx_count;

    // The earliest start wins: a frame inside a longer valid frame is part
    // of it, not a reply of its own.
    for (std::size_t start = 0; start < held(); ++start) {
        if (!station(r.rx_bytes[start])) continue;
        const std::size_t n = held() - start;
        if (implied_length(&r.rx_bytes[start], n) != n) continue;
        const std::string_view frame(reinterpret_cast<const char*>(&r.rx_bytes[start]), n);
        if (link::crc16(frame) != 0) continue;  // a CRC over a frame with its CRC is 0
        frames.emplace_back(frame);
        r.rx_count = 0;
        return;
    }

    // Give up the leading bytes that can no longer begin a frame: not our
    // address, a function code we never accept, a length that does not fit,
    // or a frame already complete whose CRC failed.
    std::size_t dead = 0;
    while (dead < held()) {
        const std::size_t n = held() - dead;
        if (station(r.rx_bytes[dead])) {
            const std::size_t length = implied_length(&r.rx_bytes[dead], n);
            if (length == 0 || (length <= kRtuCapacity && length > n)) break;
        }
        ++dead;
    }
    if (dead == 0) return;
    for (std::size_t i = dead; i < held(); ++i) r.rx_bytes[i - dead] = r.rx_bytes[i];
    r.rx_count -= static_cast<int>(dead);
}

void feed_ascii(model::ReaderState& r, char ch, std::vector<std::string>& frames) {
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

}  // namespace vor3::reply
