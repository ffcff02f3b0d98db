#include "link/framing.h"

#include <string_view>

#include "link/hex.h"

namespace vor3::link {

namespace {

constexpr std::size_t kAsciiCapacity = 600;  // characters of one ASCII frame

bool accepted_function(int f) { return f == 1 || f == 3 || f == 15 || f == 16; }

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

void feed_rtu(model::ReaderState& r, const FrameLength& length_of, std::uint8_t b, std::vector<std::string>& frames) {
    auto held = [&] { return static_cast<std::size_t>(r.rx_count); };
    r.rx_bytes[held()] = b;
    ++r.rx_count;
    std::size_t start = 0;
    while (start < held()) {
        const std::string_view rest(reinterpret_cast<const char*>(&r.rx_bytes[start]), held() - start);
        const std::size_t length = length_of(rest);
        if (length == 0 || (length <= kRtuCapacity && length > rest.size())) break;  // may still become one
        if (length == rest.size() && link::crc16(rest) == 0) {  // a CRC over a frame with its CRC is 0
            frames.emplace_back(rest);
            start = held();
            break;
        }
        ++start;  // cannot begin a frame: given up
    }
    for (std::size_t i = start; i < held(); ++i) r.rx_bytes[i - start] = r.rx_bytes[i];
    r.rx_count -= static_cast<int>(start);
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

}  // namespace vor3::link
