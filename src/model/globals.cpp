#include "model/globals.h"

#include "model/numbers.h"

namespace vor3::model {

namespace {
double line_budget_ms(const std::string& baud_rate) {
    const double baud = leading_number(baud_rate);
    return baud > 0 ? 1.0 / baud * 550 * 1000 : 0.0;
}
}  // namespace

std::int32_t pace_bound(int reg) { return static_cast<std::int32_t>(field(FieldArray::txt_data_cfg, reg).max); }

std::int64_t block_timer_period(const std::string& baud_rate, std::int32_t reply_delay) {
    const long long period = round_half_even(line_budget_ms(baud_rate) + static_cast<double>(reply_delay) * 15);
    // A negative delay read from the sensor must not stop the block timers.
    return period < 1 ? 1 : period;
}

double char_time_ms(const LinkSettings& l) {
    const double baud = leading_number(l.baud_rate);
    const double bits = 1 + leading_number(l.data_bits) + (l.parity == "N" ? 0 : 1) + leading_number(l.stop_bits);
    return baud > 0 ? bits * 1000.0 / baud : 0.0;
}

double status_time_limit(const std::string& baud_rate, std::int32_t reply_delay) {
    return 15 * (line_budget_ms(baud_rate) + static_cast<double>(reply_delay) * 10);
}

}  // namespace vor3::model
