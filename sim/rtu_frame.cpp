#include "sim/rtu_frame.h"

#include <algorithm>
#include <cstdint>

#include "link/hex.h"

namespace vor3::sim {

namespace {

constexpr std::size_t kMaxFrame = 256;
constexpr int kMaxAddress = 247;

Scan skip_one() { return {Scan::Skip, 1, {}}; }

bool crc_matches(std::string_view frame) {
    const std::uint16_t crc = link::crc16(frame.substr(0, frame.size() - 2));
    const auto lo = static_cast<std::uint8_t>(frame[frame.size() - 2]);
    const auto hi = static_cast<std::uint8_t>(frame[frame.size() - 1]);
    return crc == (lo | hi << 8);
}

// Request length for the function codes whose shape is fixed by the
// standard, 0 when the code's shape is unknown here.
std::size_t known_length(std::uint8_t fn, std::string_view bytes, bool& need_more) {
    need_more = false;
    switch (fn) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x08: return 8;
    case 0x07:
    case 0x0B:
    case 0x0C:
    case 0x11: return 4;
    case 0x0F:
    case 0x10:
        if (bytes.size() < 7) {
            need_more = true;
            return 0;
        }
        return 9 + static_cast<std::uint8_t>(bytes[6]);
    default: return 0;
    }
}

// Feeding the CRC one byte at a time: over a whole frame including its own
// CRC the remainder is zero, so every prefix length is checked in one pass.
std::uint16_t crc_step(std::uint16_t crc, std::uint8_t b) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    return crc;
}

Scan scan_by_crc(std::string_view bytes) {
    const std::size_t end = std::min(bytes.size(), kMaxFrame);
    std::uint16_t crc = 0xFFFF;
    for (std::size_t n = 0; n < end; ++n) {
        crc = crc_step(crc, static_cast<std::uint8_t>(bytes[n]));
        if (n + 1 >= 4 && crc == 0) return {Scan::Frame, n + 1, std::string(bytes.substr(0, n - 1)), true};
    }
    return bytes.size() >= kMaxFrame ? skip_one() : Scan{};
}

}  // namespace

Scan scan_rtu(std::string_view bytes) {
    if (bytes.size() < 2) return {};
    const auto address = static_cast<std::uint8_t>(bytes[0]);
    const auto fn = static_cast<std::uint8_t>(bytes[1]);
    if (address > kMaxAddress || fn == 0 || fn >= 0x80) return skip_one();
    bool need_more = false;
    const std::size_t length = known_length(fn, bytes, need_more);
    if (need_more) return {};
    if (length == 0) return scan_by_crc(bytes);
    if (bytes.size() < length) return {};
    if (!crc_matches(bytes.substr(0, length))) return skip_one();
    return {Scan::Frame, length, std::string(bytes.substr(0, length - 2))};
}

std::string encode_rtu(std::string_view adu, bool corrupt_checksum) {
    std::uint16_t crc = link::crc16(adu);
    if (corrupt_checksum) crc ^= 0xFFFF;
    std::string frame(adu);
    frame.push_back(static_cast<char>(crc & 0xFF));
    frame.push_back(static_cast<char>(crc >> 8));
    return frame;
}

}  // namespace vor3::sim
