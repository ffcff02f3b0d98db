#include "sim/frame_scanner.h"

#include "sim/ascii_frame.h"
#include "sim/rtu_frame.h"

namespace vor3::sim {

struct FrameScanner::Found {
    Scan scan;
    Framing framing;
};

FrameScanner::Found FrameScanner::scan(std::string_view bytes) const {
    const bool ascii = framing_ == Framing::Ascii || (framing_ == Framing::Auto && bytes[0] == ':');
    if (ascii) return {scan_ascii(bytes), Framing::Ascii};
    return {scan_rtu(bytes), Framing::Rtu};
}

// A head that might still grow into a request is given up once a complete
// request follows it: the head was noise, or the tail of a lost frame.
bool FrameScanner::frame_further_on() const {
    const std::string_view view(buffer_);
    for (std::size_t i = 1; i < view.size(); ++i)
        if (scan(view.substr(i)).scan.status == Scan::Frame) return true;
    return false;
}

std::optional<Request> FrameScanner::next() {
    while (!buffer_.empty()) {
        Found found = scan(buffer_);
        switch (found.scan.status) {
            case Scan::Frame:
                buffer_.erase(0, found.scan.length);
                return Request{found.framing, std::move(found.scan.adu)};
            case Scan::Skip:
                buffer_.erase(0, found.scan.length);
                break;
            case Scan::Incomplete:
                if (!frame_further_on()) return std::nullopt;
                buffer_.erase(0, 1);
                break;
        }
    }
    return std::nullopt;
}

}  // namespace vor3::sim
