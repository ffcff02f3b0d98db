#include "sim/reply.h"

namespace vor3::sim {

std::vector<double> byte_arrivals(const Reply& reply, double begin_ms, double char_ms) {
    std::vector<double> times;
    times.reserve(reply.bytes.size());
    std::size_t piece = 0;
    for (std::size_t i = 0; i < reply.bytes.size(); ++i) {
        while (piece < reply.piece_ends.size() && i >= reply.piece_ends[piece]) ++piece;
        times.push_back(begin_ms + static_cast<double>(i + 1) * char_ms +
                        static_cast<double>(piece) * reply.piece_gap_ms);
    }
    return times;
}

}  // namespace vor3::sim
