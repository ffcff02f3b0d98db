#pragma once
#include <string>
#include <string_view>

#include "link/hex.h"

namespace vor3::sim::test {

inline std::string bytes(std::string_view hex) {
    std::string out;
    if (!link::hex_to_bytes(hex, out)) throw std::invalid_argument("bad hex in test: " + std::string(hex));
    return out;
}

// RTU frame from hex text of address, function and data.
inline std::string rtu(std::string_view hex) {
    std::string frame = bytes(hex);
    const std::uint16_t crc = link::crc16(frame);
    frame.push_back(static_cast<char>(crc & 0xFF));
    frame.push_back(static_cast<char>(crc >> 8));
    return frame;
}

inline std::string ascii(std::string_view hex) {
    return ":" + std::string(hex) + link::CalculateLRC(hex) + "\r\n";
}

}  // namespace vor3::sim::test
