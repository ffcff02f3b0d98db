#include "link/mbap.h"

namespace vor3::link {

namespace {

constexpr int kLongestLength = 254;  // unit identifier and the longest PDU

int word(std::string_view b, std::size_t at) {
    return (static_cast<unsigned char>(b[at]) << 8) | static_cast<unsigned char>(b[at + 1]);
}

}  // namespace

std::string mbap_frame(std::uint16_t transaction, std::string_view adu) {
    std::string frame;
    frame.push_back(static_cast<char>(transaction >> 8));
    frame.push_back(static_cast<char>(transaction & 0xFF));
    frame.append(2, '\0');
    frame.push_back(static_cast<char>(adu.size() >> 8));
    frame.push_back(static_cast<char>(adu.size() & 0xFF));
    frame.append(adu);
    return frame;
}

int mbap_frame_length(std::string_view bytes) {
    if (bytes.size() >= 4 && word(bytes, 2) != 0) return -1;
    if (bytes.size() < 6) return 0;
    const int length = word(bytes, 4);
    if (length < 2 || length > kLongestLength) return -1;
    return 6 + length;
}

std::uint16_t mbap_transaction(std::string_view frame) {
    return frame.size() < 2 ? 0 : static_cast<std::uint16_t>(word(frame, 0));
}

std::string_view mbap_adu(std::string_view frame) { return frame.size() < 6 ? std::string_view() : frame.substr(6); }

bool answer_fits(std::string_view adu) {
    if (adu.size() < 2) return false;
    const int function = static_cast<unsigned char>(adu[1]);
    if (function & 0x80) return adu.size() == 3;
    if (function == 1 || function == 2 || function == 3 || function == 4)
        return adu.size() >= 3 && adu.size() == 3u + static_cast<unsigned char>(adu[2]);
    if (function == 5 || function == 6 || function == 15 || function == 16) return adu.size() == 6;
    return true;
}

}  // namespace vor3::link
