#include "sim/line_service.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

#include "sim/line_timing.h"
#include "sim/reply.h"

namespace vor3::sim {

LineService::LineService(const PtyOptions& options)
    : sensor_(options.framing, options.addresses), modbus_tcp_(options.modbus_tcp) {
    sensor_.set_faults(options.faults);
    close_mid_reply_ = options.faults.close_mid_reply;
    // The sensor's usual line settings: 8E1 for RTU, 7E1 for ASCII.
    const int data_bits = options.framing == Framing::Ascii ? 7 : 8;
    char_ms_ = char_time_ms({options.baud, 'E', data_bits, 1});
}

void LineService::take_in(std::string_view bytes, double now_ms, bool network) {
    const auto replies = modbus_tcp_ ? mbap_.answers(bytes, sensor_, std::llround(now_ms))
                                     : sensor_.receive(bytes, std::llround(now_ms));
    for (const Reply& reply : replies) schedule(reply, now_ms, network);
}

void LineService::schedule(const Reply& reply, double now, bool network) {
    const double begin = std::max(now + reply.delay_ms, sensor_free_ms_);
    const std::vector<double> times = byte_arrivals(reply, begin, char_ms_);
    for (std::size_t i = 0; i < times.size(); ++i) outgoing_.push_back({times[i], reply.bytes[i]});
    if (!times.empty()) sensor_free_ms_ = times.back();
    if (network && close_mid_reply_ && times.size() >= 2)
        outgoing_[outgoing_.size() - times.size() + times.size() / 2 - 1].close_after = true;
}

LineService::Due LineService::take_due(double now_ms) {
    Due due;
    while (!outgoing_.empty() && outgoing_.front().due_ms <= now_ms && !due.close) {
        due.bytes.push_back(outgoing_.front().byte);
        due.close = outgoing_.front().close_after;
        outgoing_.pop_front();
    }
    return due;
}

double LineService::wait_ms(double now_ms) const {
    if (outgoing_.empty()) return -1;
    return std::max(0.0, outgoing_.front().due_ms - now_ms);
}

std::vector<std::string> LineService::take_control(std::string_view text) {
    std::vector<std::string> said;
    control_text_.append(text);
    for (auto end = control_text_.find('\n'); end != std::string::npos; end = control_text_.find('\n')) {
        std::istringstream line(control_text_.substr(0, end));
        control_text_.erase(0, end + 1);
        std::vector<std::string> words{std::istream_iterator<std::string>(line), {}};
        try {
            const FaultLine set = parse_fault_line(words);
            if (set.addresses.empty()) {
                sensor_.set_faults(set.faults);
                close_mid_reply_ = set.faults.close_mid_reply;
            }
            for (int a : set.addresses) sensor_.sensor(a).faults() = set.faults;
            said.emplace_back("faults set");
        } catch (const std::exception& e) {
            said.push_back(std::string("faults refused: ") + e.what());
        }
    }
    // A line without an end that grows without bound is no command.
    if (control_text_.size() > 4096) control_text_.clear();
    return said;
}

void LineService::end_connection() {
    outgoing_.clear();
    mbap_ = MbapSession();
}

}  // namespace vor3::sim
