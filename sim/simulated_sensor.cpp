#include "sim/simulated_sensor.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "link/hex.h"
#include "sim/ascii_frame.h"
#include "sim/modbus_pdu.h"
#include "sim/rtu_frame.h"

namespace vor3::sim {

namespace {

constexpr int kBroadcast = 0;
constexpr int kMinResponseRegister = 7;

std::vector<std::size_t> piece_ends(std::size_t size, int parts) {
    // A piece holds at least one byte.
    std::size_t n = parts < 1 ? 1 : static_cast<std::size_t>(parts);
    n = std::min(n, std::max<std::size_t>(size, 1));
    std::vector<std::size_t> ends;
    for (std::size_t p = 1; p <= n; ++p) ends.push_back(size * p / n);
    return ends;
}

int word_at(std::string_view bytes, std::size_t i) {
    return (static_cast<std::uint8_t>(bytes[i]) << 8) | static_cast<std::uint8_t>(bytes[i + 1]);
}

}  // namespace

SimulatedSensor::SimulatedSensor(Framing framing, int address) : scanner_(framing) { set_address(address); }

void SimulatedSensor::set_address(int address) {
    if (address < 1 || address > 247) throw std::invalid_argument("slave address must be 1..247");
    address_ = address;
}

std::uint16_t SimulatedSensor::holding(int address, std::int64_t now_ms) const {
    return memory_.holding(address, now_ms);
}

void SimulatedSensor::set_holding(int address, std::uint16_t value) { memory_.set_holding(address, value); }
bool SimulatedSensor::coil(int address) const { return memory_.coil(address); }
void SimulatedSensor::set_coil(int address, bool on) { memory_.set_coil(address, on); }

int SimulatedSensor::min_response_ms() const { return memory_.holding(kMinResponseRegister, 0); }

std::vector<Reply> SimulatedSensor::receive(std::string_view bytes, std::int64_t now_ms) {
    scanner_.feed(bytes);
    std::vector<Reply> replies;
    while (auto request = scanner_.next()) {
        if (request->adu.size() < 2) continue;
        const int to = static_cast<std::uint8_t>(request->adu[0]);
        if (to != address_ && to != kBroadcast) continue;
        if (requests_.size() == 2 * kHistory)
            requests_.erase(requests_.begin(), requests_.begin() + static_cast<std::ptrdiff_t>(kHistory));
        const std::string hex = link::bytes_to_hex(request->adu);
        const bool repeat = !requests_.empty() && requests_.back() == hex;
        requests_.push_back(hex);
        ++heard_;
        if (faults_.silent) continue;
        Reply reply = reply_for(*request, now_ms, repeat);
        if (to == kBroadcast || reply.delay_ms < 0) continue;
        if (faults_.echo) {
            const std::string frame =
                request->framing == Framing::Ascii ? encode_ascii(request->adu) : encode_rtu(request->adu);
            replies.push_back({frame, 0, {frame.size()}, 0});
        }
        if (request->adu[1] == 0x01) {
            // The repeater's buffered coil answer goes out first.
            if (late_copy_) replies.push_back(*std::exchange(late_copy_, std::nullopt));
            if (faults_.late_coil_copy_from >= 0 && request->adu.size() >= 4 &&
                word_at(request->adu, 2) == faults_.late_coil_copy_from)
                late_copy_ = reply;
        }
        if (faults_.duplicate) replies.push_back(reply);
        if (faults_.twin) {
            constexpr int kTwinLaterMs = 5;
            Reply twin = reply_for(*request, now_ms, repeat, true);
            twin.delay_ms = reply.delay_ms + kTwinLaterMs;
            replies.push_back(std::move(reply));
            replies.push_back(std::move(twin));
            continue;
        }
        replies.push_back(std::move(reply));
    }
    return replies;
}

int SimulatedSensor::answer_delay(bool repeat) {
    const Faults& f = faults_;
    if (f.answer_ms < 0 && f.answer_spread_ms <= 0 && f.repeat_answer_ms < 0 && f.lost_percent <= 0)
        return min_response_ms() + f.extra_delay_ms;
    if (!seeded_ || seeded_with_ != f.seed) {
        random_.seed(f.seed);
        seeded_with_ = f.seed;
        seeded_ = true;
    }
    const auto draw = [&](int below) {
        return below <= 0 ? 0 : static_cast<int>(random_() % static_cast<unsigned>(below));
    };
    if (draw(100) < f.lost_percent) return -1;
    const int base = repeat && f.repeat_answer_ms >= 0 ? f.repeat_answer_ms
                     : f.answer_ms >= 0                ? f.answer_ms
                                                       : min_response_ms() + f.extra_delay_ms;
    return base + draw(f.answer_spread_ms + 1);
}

void SimulatedSensor::misstore(std::string_view write, std::int64_t now_ms) {
    const auto word = [&](std::size_t i) {
        return static_cast<std::uint8_t>(write[i]) * 256 + static_cast<std::uint8_t>(write[i + 1]);
    };
    const int reg = faults_.misstored_register;
    if (reg < word(1) || reg >= word(1) + word(3)) return;
    memory_.set_holding(reg, static_cast<std::uint16_t>(memory_.holding(reg, now_ms) + 1));
}

Reply SimulatedSensor::reply_for(const Request& request, std::int64_t now_ms, bool repeat, bool twin) {
    const std::string_view pdu = std::string_view(request.adu).substr(1);
    const auto function = static_cast<std::uint8_t>(pdu[0]);
    const bool write = function == 0x0F || function == 0x10;
    const int refusal = faults_.exception_code != 0 ? faults_.exception_code : write ? faults_.refuse_writes : 0;
    const std::string answer = refusal != 0 ? exception_pdu(function, refusal) : answer_pdu(pdu, memory_, now_ms);
    if (function == 0x10 && answer.size() == 5 && !twin && faults_.misstored_register >= 0) misstore(pdu, now_ms);
    std::string adu = static_cast<char>(faults_.answer_as != 0 ? faults_.answer_as : address_) + answer;
    if (twin && refusal == 0 && (function == 1 || function == 3)) adu.back() = static_cast<char>(adu.back() ^ 1);
    const std::string frame = request.framing == Framing::Ascii ? encode_ascii(adu, faults_.bad_checksum)
                                                                : encode_rtu(adu, faults_.bad_checksum);
    Reply reply;
    reply.bytes = faults_.noise_before + frame;
    reply.delay_ms = answer_delay(repeat);
    reply.piece_ends = piece_ends(reply.bytes.size(), faults_.split_parts);
    reply.piece_gap_ms = faults_.split_gap_ms;
    reply.frame_at = faults_.noise_before.size();
    reply.bad_checksum = faults_.bad_checksum;
    return reply;
}

}  // namespace vor3::sim
