#include "sim/sim_port.h"

#include <algorithm>
#include <cmath>

namespace vor3::sim {

namespace {
// Arrival times are sums of fractional character times; this keeps a byte
// due exactly at a whole millisecond from slipping to the next one.
constexpr double kTimeSlack = 1e-6;
// The name a user gives this port on the command line, for messages.
constexpr const char* kDevice = "sim";
}  // namespace

SimPort::SimPort(form::Clock& clock, Responder& sensor) : clock_(clock), sensor_(sensor) {}

std::vector<std::string> SimPort::port_list() const {
    if (vanished_) return {};
    return {"Simulated sensor"};
}

void SimPort::set_settings(const std::string& settings) {
    // Like a real port: a device that is gone takes no settings.
    if (open_ && vanished_)
        throw form::PortError(form::kPortSettingsRefused, "the simulated port has vanished", false, kDevice);
    settings_ = form::parse_settings(settings);
}

void SimPort::set_open(bool open) {
    if (open && vanished_) throw form::PortError(form::kPortInvalid, "the simulated port has vanished", false, kDevice);
    open_ = open;
    if (!open_) {
        arriving_.clear();
        mbap_ = MbapSession();
    }
}

void SimPort::set_vanished(bool vanished) {
    vanished_ = vanished;
    if (vanished_) arriving_.clear();
}

void SimPort::write(std::string_view bytes) {
    if (!open_) throw form::PortError(form::kPortNotOpen, "port not open");
    if (vanished_)
        throw form::PortError(form::kPortIoFailed, "write failed: the simulated port has vanished", false, kDevice);
    if (bytes.empty()) return;
    const double char_ms = char_time_ms(settings_);
    const double start = std::max(static_cast<double>(clock_.now_ms()), line_free_ms_);
    const double end = start + static_cast<double>(bytes.size()) * char_ms;
    line_free_ms_ = end;
    const auto heard_at = static_cast<std::int64_t>(std::ceil(end - kTimeSlack));
    if (sensor_line_) {
        const auto& l = *sensor_line_;
        if (l.baud != settings_.baud || l.parity != settings_.parity || l.data_bits != settings_.data_bits) return;
    }
    const auto replies = carrier_ == form::Carrier::ModbusTcp ? mbap_.answers(bytes, sensor_, heard_at)
                                                              : sensor_.receive(bytes, heard_at);
    for (const Reply& reply : replies) schedule(reply, end, char_ms);
}

// The sensor has one transmitter: a reply waits for the previous one.
void SimPort::schedule(const Reply& reply, double request_end_ms, double char_ms) {
    const double begin = std::max(request_end_ms + reply.delay_ms, sensor_free_ms_);
    const std::vector<double> times = byte_arrivals(reply, begin, char_ms);
    for (std::size_t i = 0; i < times.size(); ++i) arriving_.push_back({times[i], reply.bytes[i]});
    if (!times.empty()) sensor_free_ms_ = times.back();
}

std::size_t SimPort::arrived_count() const {
    const double now = static_cast<double>(clock_.now_ms()) + kTimeSlack;
    std::size_t n = 0;
    while (n < arriving_.size() && arriving_[n].at_ms <= now) ++n;
    return n;
}

void SimPort::fail_if_gone() const {
    if (open_ && vanished_)
        throw form::PortError(form::kPortIoFailed, "read failed: the simulated port has vanished", false, kDevice);
}

int SimPort::waiting_count() {
    fail_if_gone();
    return static_cast<int>(arrived_count());
}

std::string SimPort::read_all() {
    fail_if_gone();
    const std::size_t n = arrived_count();
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out.push_back(arriving_[i].byte);
    arriving_.erase(arriving_.begin(), arriving_.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

}  // namespace vor3::sim
