#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/reply.h"

namespace vor3::sim {

// The simulated sensors behind a Modbus TCP gateway: requests are taken
// from the connection by their MBAP headers and handed to the sensor as
// RTU frames; its replies go back under their request's transaction, the
// checksum given up. Where the faults ask for a wrong checksum, the
// transaction identifier is wrong instead (TCP has no checksum to spoil).
class MbapSession {
public:
    struct Request {
        std::uint16_t transaction;
        std::string rtu_frame;
    };

    // Bytes from the connection; the whole requests among them. A header
    // that cannot be one gives up what has come, as nothing tells where the
    // next request begins.
    std::vector<Request> feed(std::string_view bytes);

    // The sensor's reply to `transaction` as the gateway sends it: any
    // noise ahead of the frame stays ahead, and a reply in pieces stays in
    // as many.
    static Reply to_mbap(const Reply& serial, std::uint16_t transaction);

    // Bytes from the connection that arrived at `now_ms`; the gateway's
    // replies, each request handed to `line` in turn.
    std::vector<Reply> answers(std::string_view bytes, Responder& line, std::int64_t now_ms);

private:
    std::string in_;
};

}  // namespace vor3::sim
