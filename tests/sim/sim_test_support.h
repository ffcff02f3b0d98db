#pragma once
#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>

#include "link/hex.h"
#include "sim/ascii_frame.h"
#include "sim/rtu_frame.h"

// Frames from hex text of address, function and data. The encoders are
// checked against frames computed by hand in frame_scanning_test.cpp.
namespace vor3::sim::test {

inline std::string bytes(std::string_view hex) {
    std::string out;
    if (!link::hex_to_bytes(hex, out)) throw std::invalid_argument("bad hex in test: " + std::string(hex));
    return out;
}

inline std::string rtu(std::string_view hex) { return encode_rtu(bytes(hex)); }
inline std::string ascii(std::string_view hex) { return encode_ascii(bytes(hex)); }

// gtest names for table rows: "read past end" -> "read_past_end".
inline std::string case_name(std::string text) {
    for (char& c : text)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return text;
}

}  // namespace vor3::sim::test
