#include "sim/ascii_frame.h"

#include <algorithm>
#include <cctype>

#include "link/hex.h"

namespace vor3::sim {

namespace {

// ':' + 2 * 256 hex digits of the longest frame + LRC + CR LF.
constexpr std::size_t kMaxLine = 1 + 2 * 256 + 2 + 2;

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

}  // namespace

Scan scan_ascii(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (bytes[0] != ':') return {Scan::Skip, std::min(bytes.find(':'), bytes.size()), {}};
    // A start that comes to nothing is given up by its ':' alone: with Auto
    // framing the bytes after it may hold an RTU request.
    Scan bad{Scan::Skip, 1, {}};
    const std::size_t line_end = bytes.find('\n');
    // A new ':' before the end of the line means the earlier frame was cut.
    if (bytes.find(':', 1) < line_end) return bad;
    if (line_end == std::string_view::npos) return bytes.size() >= kMaxLine ? bad : Scan{};
    std::string_view text = bytes.substr(1, line_end - 1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.size() < 6) return bad;
    const std::string message = upper(text.substr(0, text.size() - 2));
    std::string adu;
    if (!link::hex_to_bytes(message, adu)) return bad;
    if (link::CalculateLRC(message) != upper(text.substr(text.size() - 2))) return bad;
    return {Scan::Frame, line_end + 1, adu};
}

std::string encode_ascii(std::string_view adu, bool corrupt_checksum) {
    const std::string message = link::bytes_to_hex(adu);
    std::string lrc = link::CalculateLRC(message);
    if (corrupt_checksum) {
        std::string byte;
        link::hex_to_bytes(lrc, byte);
        lrc = link::ByteToHex(static_cast<std::uint8_t>(byte[0] + 1));
    }
    return ":" + message + lrc + "\r\n";
}

}  // namespace vor3::sim
