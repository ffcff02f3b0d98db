#include "sim/line_timing.h"

namespace vor3::sim {

double char_time_ms(const form::SerialSettings& settings) {
    const int parity_bits = settings.parity == 'N' ? 0 : 1;
    const int bits = 1 + settings.data_bits + parity_bits + settings.stop_bits;
    return bits * 1000.0 / settings.baud;
}

}  // namespace vor3::sim
