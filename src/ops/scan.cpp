#include "ops/scan.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "link/answers.h"
#include "link/hex.h"
#include "link/transmit.h"
#include "model/globals.h"
#include "model/register_map.h"

namespace vor3::ops {

namespace {

// What a USB adapter may hold a reply back before passing it on.
constexpr double kAdapterLatencyMs = 30;
// The round trip assumed on a network port until its connection has
// measured one.
constexpr std::int64_t kUnknownRoundTripMs = 100;
// How often a try on a network port looks whether it is settled.
constexpr std::int64_t kNetworkPollMs = 10;
// The request (register 6, one register) and its reply, in RTU bytes.
constexpr int kRequestBytes = 8;
constexpr int kReplyBytes = 7;

// The slowest answer a sensor can be set to: its Min-Response-Time field's
// upper limit.
int slowest_answer_ms() { return static_cast<int>(model::field(model::FieldArray::txt_data_cfg, 7).max); }

// The setting's framing: RTU where it names none (a Modbus TCP gateway).
model::Framing framing_of(const LineSetting& line) {
    return model::framing_named(line.mode).value_or(model::Framing::Rtu);
}

int data_bits_of(const LineSetting& line, std::optional<int> forced) {
    return forced.value_or(framing_of(line) == model::Framing::Ascii ? 7 : 8);
}

// An answer of any kind: register 6's value, or a refusal, which tells as
// much that a sensor is there. Its bytes from the address to the checksum,
// or nothing.
// A gateway's refusal: no sensor answered it at that address.
bool from_gateway(const std::string& answer) {
    const int code = static_cast<unsigned char>(answer[2]);
    return static_cast<unsigned char>(answer[1]) == 0x83 &&
           (code == link::kGatewayPathUnavailable || code == link::kGatewayTargetFailed);
}

std::optional<std::string> rtu_answer(const std::string& b, std::size_t i) {
    if (i + 5 > b.size()) return std::nullopt;
    const int function = static_cast<unsigned char>(b[i + 1]);
    const std::size_t length = function == 0x83 ? 5 : 7;
    if (function != 0x83 && (function != 0x03 || i + 7 > b.size() || static_cast<unsigned char>(b[i + 2]) != 2))
        return std::nullopt;
    const std::string_view frame = std::string_view(b).substr(i, length);
    if (link::crc16(frame) != 0) return std::nullopt;
    return std::string(frame);
}

std::optional<std::string> ascii_answer(const std::string& text, std::size_t colon) {
    const auto end = text.find("\r\n", colon);
    if (end == std::string::npos) return std::nullopt;
    std::string bytes;
    if (!link::hex_to_bytes(text.substr(colon + 1, end - colon - 1), bytes) || bytes.size() < 4) return std::nullopt;
    unsigned sum = 0;
    for (unsigned char x : bytes) sum += x;
    if (sum % 256 != 0) return std::nullopt;
    const int function = static_cast<unsigned char>(bytes[1]);
    if (function == 0x83 || (function == 0x03 && bytes.size() == 6 && bytes[2] == 2)) return bytes;
    return std::nullopt;
}

}  // namespace

Scanner::Scanner(form::SerialPort& port, form::Clock& clock)
    : port_(port), clock_(clock), timer_(clock, "scan", 0), poll_(clock, "scan poll", kNetworkPollMs) {
    timer_.on_tick = [this] { end_try(); };
    poll_.on_tick = [this] { poll(); };
}

std::string Scanner::settings_of(const LineSetting& line, std::optional<int> data_bits) {
    return line.baud + "," + std::string(1, line.parity) + "," + std::to_string(data_bits_of(line, data_bits)) + ",1";
}

std::int64_t Scanner::try_ms(const LineSetting& line, int min_response_ms, std::optional<int> data_bits) {
    model::LinkSettings settings;
    settings.baud_rate = line.baud;
    settings.parity = std::string(1, line.parity);
    settings.data_bits = std::to_string(data_bits_of(line, data_bits));
    const auto framing = framing_of(line);
    const int chars = link::line_chars(framing, kRequestBytes) + link::line_chars(framing, kReplyBytes);
    return static_cast<std::int64_t>(
        std::ceil(chars * model::char_time_ms(settings) + std::max(0, min_response_ms) + kAdapterLatencyMs));
}

std::int64_t Scanner::wait_out_ms(const LineSetting& line, int min_response_ms, std::optional<int> data_bits) {
    return std::max<std::int64_t>(
        0, try_ms(line, slowest_answer_ms(), data_bits) - try_ms(line, min_response_ms, data_bits));
}

// On a network port the server's serial side is set at the server, at a
// baud rate the scan cannot know: the frames are allowed for at the
// slowest, and the round trip measured as the connection was made.
LineSetting Scanner::timing_line(const LineSetting& line) const {
    if (!network()) return line;
    return {model::framing_name(framing_of(line)), "9600", 'E'};
}

std::int64_t Scanner::try_ms_at(const LineSetting& line) const {
    const auto data_bits = network() ? std::nullopt : plan_.data_bits;
    const std::int64_t wait = try_ms(timing_line(line), plan_.min_response_ms, data_bits);
    if (!network()) return wait;
    const std::int64_t round_trip = port_.round_trip_ms();
    return wait + (round_trip >= 0 ? round_trip : kUnknownRoundTripMs);
}

std::int64_t Scanner::wait_out_at(const LineSetting& line) const {
    return wait_out_ms(timing_line(line), plan_.min_response_ms, network() ? std::nullopt : plan_.data_bits);
}

void Scanner::wait(std::int64_t ms) {
    timer_.set_interval(ms);
    timer_.start();
    due_ms_ = clock_.now_ms() + ms;
}

std::int64_t Scanner::time_left_ms() const {
    if (!running_) return 0;
    std::int64_t left = std::max<std::int64_t>(0, due_ms_ - clock_.now_ms());
    const int addresses = plan_.last_address - plan_.first_address + 1;
    bool under_way = true;
    // The settings in the order the scan takes them, from the one under way.
    for (std::size_t m = mode_; m < plan_.modes.size(); ++m)
        for (std::size_t b = m == mode_ ? baud_ : 0; b < plan_.bauds.size(); ++b)
            for (std::size_t p = m == mode_ && b == baud_ ? parity_ : 0; p < plan_.parities.size(); ++p) {
                const LineSetting line{plan_.modes[m], plan_.bauds[b], plan_.parities[p]};
                if (under_way) {
                    under_way = false;
                    // Waiting out the late answers is this setting's last wait.
                    if (!waiting_out_) left += (plan_.last_address - address_) * try_ms_at(line) + wait_out_at(line);
                    continue;
                }
                left += addresses * try_ms_at(line) + wait_out_at(line);
            }
    return left;
}

int Scanner::total() const {
    const int addresses = std::max(0, plan_.last_address - plan_.first_address + 1);
    return static_cast<int>(plan_.modes.size() * plan_.bauds.size() * plan_.parities.size()) * addresses;
}

void Scanner::start(const ScanPlan& plan) {
    stop();
    plan_ = plan;
    carrier_ = port_.carrier();
    // No baud rate or parity to try over the network; a gateway has no
    // framing to try either, and is asked in RTU's.
    if (network()) {
        plan_.bauds = {""};
        plan_.parities = {'\0'};
        if (carrier_ == form::Carrier::ModbusTcp) plan_.modes = {""};
    }
    found_.clear();
    error_.reset();
    applied_.reset();
    waiting_out_ = false;
    tried_ = 0;
    mode_ = baud_ = parity_ = 0;
    address_ = plan_.first_address;
    if (total() == 0) {
        finish();
        return;
    }
    running_ = true;
    begin_try();
}

void Scanner::stop() {
    if (!running_) return;
    finish();
}

void Scanner::finish() {
    timer_.stop();
    poll_.stop();
    running_ = false;
    try {
        if (port_.is_open()) port_.set_open(false);
    } catch (const form::PortError&) {
        // Closing a port that has gone is all that was left to do.
    }
    if (changed) changed();
}

bool Scanner::advance() {
    if (++address_ <= plan_.last_address) return true;
    address_ = plan_.first_address;
    if (++parity_ < plan_.parities.size()) return true;
    parity_ = 0;
    if (++baud_ < plan_.bauds.size()) return true;
    baud_ = 0;
    return ++mode_ < plan_.modes.size();
}

void Scanner::begin_try() {
    line_ = {plan_.modes[mode_], plan_.bauds[baud_], plan_.parities[parity_]};
    settled_ = false;
    try {
        if (!applied_ || !(*applied_ == line_)) {
            // A network port keeps its connection: its settings are the
            // server's.
            if (!network()) {
                if (port_.is_open()) port_.set_open(false);
                port_.set_settings(settings_of(line_, plan_.data_bits));
            }
            port_.set_input_mode(framing_of(line_) == model::Framing::Ascii ? 0 : 1);
            if (!port_.is_open()) port_.set_open(true);
            applied_ = line_;
            heard_.clear();
            asked_when_heard_.clear();
            asked_ = 0;
            answers_.clear();
        }
        // What is still on its way from an earlier try counts for that try.
        if (port_.waiting_count() > 0) take_in(port_.read_all());
        look_for_replies();
        const std::string request = link::LongToHexStr(address_, 1) + "0300060001";
        port_.write(link::frame_request(request, framing_of(line_)));
        asked_ = address_;
    } catch (const form::PortError& e) {
        error_ = e;
        finish();
        return;
    }
    wait(try_ms_at(line_));
    if (network()) poll_.start();
}

bool Scanner::hear() {
    try {
        if (port_.waiting_count() > 0) take_in(port_.read_all());
        return true;
    } catch (const form::PortError& e) {
        error_ = e;
        finish();
        return false;
    }
}

void Scanner::poll() {
    if (!hear()) return;
    look_for_replies();
    // The address asked has answered, or the gateway said no sensor is
    // there: nothing more to wait for.
    if (settled_ && !waiting_out_) end_try();
}

void Scanner::end_try() {
    timer_.stop();
    poll_.stop();
    if (!hear()) return;
    if (!waiting_out_) ++tried_;
    look_for_replies();
    if (plan_.stop_at_first && !found_.empty()) {
        finish();
        return;
    }
    // The answers still on their way at this setting are heard before the
    // port is set otherwise; those that come later would be lost.
    const auto late = wait_out_at(line_);
    if (!waiting_out_ && address_ == plan_.last_address && late > 0) {
        waiting_out_ = true;
        wait(late);
        if (changed) changed();
        return;
    }
    waiting_out_ = false;
    if (!advance()) {
        finish();
        return;
    }
    if (changed) changed();
    begin_try();
}

void Scanner::take_in(const std::string& bytes) {
    heard_ += bytes;
    asked_when_heard_.insert(asked_when_heard_.end(), bytes.size(), asked_);
}

void Scanner::look_for_replies() {
    // Any address asked at this setting may answer, late ones too; but an
    // answer that began before its address was asked answers no request of
    // this scan (a device that answers under another address than its own).
    const int last_asked = address_;
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const auto answer = framing_of(line_) == model::Framing::Ascii
                                ? (heard_[i] == ':' ? ascii_answer(heard_, i) : std::nullopt)
                                : rtu_answer(heard_, i);
        if (!answer) continue;
        const int address = static_cast<unsigned char>((*answer)[0]);
        if (address < plan_.first_address || address > asked_when_heard_[i]) continue;
        if (address == last_asked) settled_ = true;
        if (!from_gateway(*answer)) note_find(address, *answer);
    }
    // Keep only a tail that could still be the start of a reply.
    if (heard_.size() > 64) {
        const auto cut = static_cast<std::ptrdiff_t>(heard_.size() - 64);
        heard_.erase(0, static_cast<std::size_t>(cut));
        asked_when_heard_.erase(asked_when_heard_.begin(), asked_when_heard_.begin() + cut);
    }
}

void Scanner::note_find(int address, const std::string& answer) {
    // Each address is asked once per setting: a second answer that differs
    // from the first comes from a second device at that address.
    auto& first = answers_[address];
    const auto same = [&](const ScanFind& f) { return f.line == line_ && f.address == address; };
    const auto known = std::find_if(found_.begin(), found_.end(), same);
    if (known == found_.end()) {
        found_.push_back({line_, address});
        first = answer;
    } else if (answer != first) {
        known->conflict = true;
    }
}

}  // namespace vor3::ops
