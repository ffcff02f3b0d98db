#include "sim/frame_scanner.h"

#include <algorithm>
#include <cctype>

#include "sim/ascii_frame.h"
#include "sim/rtu_frame.h"

namespace vor3::sim {

struct FrameScanner::Found {
    Scan scan;
    Framing framing;
};

FrameScanner::Found FrameScanner::scan(std::string_view bytes) const {
    // ':' is also address 58, so an RTU request may start with it; an ASCII
    // frame has a hex digit next, an RTU request its function code.
    const bool ascii =
        framing_ == Framing::Ascii || (framing_ == Framing::Auto && bytes[0] == ':' &&
                                       (bytes.size() < 2 || std::isxdigit(static_cast<unsigned char>(bytes[1]))));
    if (ascii) return {scan_ascii(bytes), Framing::Ascii};
    return {scan_rtu(bytes), Framing::Rtu};
}

bool FrameScanner::frame_starts_within(std::size_t end, bool by_crc_counts) const {
    const std::string_view view(buffer_);
    for (std::size_t i = 1; i < std::min(end, view.size()); ++i) {
        const Scan later = scan(view.substr(i)).scan;
        if (later.status == Scan::Frame && (by_crc_counts || !later.by_crc_only)) return true;
    }
    return false;
}

std::optional<Request> FrameScanner::next() {
    while (!buffer_.empty()) {
        Found found = scan(buffer_);
        switch (found.scan.status) {
        case Scan::Frame:
            // A CRC that matches by chance (1 in 65536 for each length
            // tried) would swallow the request that really starts inside.
            if (found.scan.by_crc_only && frame_starts_within(found.scan.length, false)) {
                buffer_.erase(0, 1);
                break;
            }
            buffer_.erase(0, found.scan.length);
            return Request{found.framing, std::move(found.scan.adu)};
        case Scan::Skip: buffer_.erase(0, found.scan.length); break;
        case Scan::Incomplete:
            // Once a complete request follows, the head was noise or the
            // tail of a lost frame, not the start of a request.
            if (!frame_starts_within(buffer_.size(), true)) return std::nullopt;
            buffer_.erase(0, 1);
            break;
        }
    }
    return std::nullopt;
}

}  // namespace vor3::sim
