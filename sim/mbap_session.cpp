#include "sim/mbap_session.h"

#include <algorithm>

#include "link/mbap.h"
#include "sim/rtu_frame.h"

namespace vor3::sim {

std::vector<MbapSession::Request> MbapSession::feed(std::string_view bytes) {
    in_.append(bytes);
    std::vector<Request> requests;
    for (;;) {
        const int length = link::mbap_frame_length(in_);
        if (length < 0) in_.clear();
        if (length <= 0 || static_cast<std::size_t>(length) > in_.size()) break;
        const std::string_view frame = std::string_view(in_).substr(0, static_cast<std::size_t>(length));
        requests.push_back({link::mbap_transaction(frame), encode_rtu(link::mbap_adu(frame))});
        in_.erase(0, static_cast<std::size_t>(length));
    }
    return requests;
}

Reply MbapSession::to_mbap(const Reply& serial, std::uint16_t transaction) {
    const std::string_view noise =
        std::string_view(serial.bytes).substr(0, std::min(serial.frame_at, serial.bytes.size()));
    std::string_view frame = std::string_view(serial.bytes).substr(noise.size());
    if (frame.size() < 2) return serial;
    frame.remove_suffix(2);  // the CRC
    const auto sent_as = static_cast<std::uint16_t>(transaction + (serial.bad_checksum ? 1 : 0));
    Reply out = serial;
    out.bytes = std::string(noise) + link::mbap_frame(sent_as, frame);
    out.piece_ends.clear();
    for (std::size_t end : serial.piece_ends) out.piece_ends.push_back(end * out.bytes.size() / serial.bytes.size());
    if (!out.piece_ends.empty()) out.piece_ends.back() = out.bytes.size();
    return out;
}

std::vector<Reply> MbapSession::answers(std::string_view bytes, Responder& line, std::int64_t now_ms) {
    std::vector<Reply> replies;
    for (const auto& request : feed(bytes))
        for (const Reply& reply : line.receive(request.rtu_frame, now_ms))
            replies.push_back(to_mbap(reply, request.transaction));
    return replies;
}

}  // namespace vor3::sim
