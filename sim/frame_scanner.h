#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "sim/framing.h"

namespace vor3::sim {

struct Request {
    Framing framing;  // Rtu or Ascii: how it arrived, and how to answer
    std::string adu;  // address, function code and data
};

// Picks requests out of the received byte stream, which may carry noise,
// other stations' traffic and requests cut into several pieces.
class FrameScanner {
public:
    explicit FrameScanner(Framing framing) : framing_(framing) {}
    void set_framing(Framing framing) { framing_ = framing; }

    void feed(std::string_view bytes) { buffer_.append(bytes); }
    // The next complete request with a good checksum, if there is one yet.
    std::optional<Request> next();

private:
    struct Found;
    Found scan(std::string_view bytes) const;
    bool frame_starts_within(std::size_t end, bool by_crc_counts) const;

    Framing framing_;
    std::string buffer_;
};

}  // namespace vor3::sim
