#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vor3::sim {

// A reply as the sensor sends it, with how it is spread over time.
struct Reply {
    std::string bytes;
    int delay_ms = 0;                     // from the end of the request to the first byte
    std::vector<std::size_t> piece_ends;  // end offset of each piece; the last is bytes.size()
    int piece_gap_ms = 0;                 // pause before each piece after the first
    std::size_t frame_at = 0;             // where the frame begins, after any noise
    bool bad_checksum = false;            // the frame's checksum was spoiled on purpose
};

// Whatever answers on a simulated line: one sensor, or a line of several.
class Responder {
public:
    virtual ~Responder() = default;
    // Bytes from the line; the replies to send, in order (possibly none).
    // now_ms is when they arrived.
    virtual std::vector<Reply> receive(std::string_view bytes, std::int64_t now_ms) = 0;
};

// When each byte of the reply has completely arrived, if sending starts at
// begin_ms: one character time per byte, plus the pauses between pieces.
std::vector<double> byte_arrivals(const Reply& reply, double begin_ms, double char_ms);

}  // namespace vor3::sim
