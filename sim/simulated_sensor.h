#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/faults.h"
#include "sim/frame_scanner.h"
#include "sim/framing.h"
#include "sim/line_timing.h"
#include "sim/reply.h"
#include "sim/sensor_memory.h"

namespace vor3::sim {

// The room sensor as a Modbus slave, without any notion of the line: bytes
// in, reply frames out.
class SimulatedSensor : public Responder {
public:
    // Throws std::invalid_argument for an address outside 1..247.
    explicit SimulatedSensor(Framing framing = Framing::Rtu, int address = 1);

    // Bytes from the line; the replies to send, in order (possibly none).
    // now_ms is when they arrived, which decides the measured values read.
    std::vector<Reply> receive(std::string_view bytes, std::int64_t now_ms) override;

    // Direct access to the map; addresses outside it throw std::out_of_range.
    // Setting a measured value (0x100..0x102) pins it from then on.
    std::uint16_t holding(int address, std::int64_t now_ms = 0) const;
    void set_holding(int address, std::uint16_t value);
    bool coil(int address) const;
    void set_coil(int address, bool on);

    Faults& faults() { return faults_; }
    void set_framing(Framing framing) { scanner_.set_framing(framing); }
    void set_address(int address);
    int address() const { return address_; }

    // Upper-case hex, without checksum, of the good requests addressed to
    // this sensor or broadcast, in arrival order: the most recent ones, at
    // least kHistory of them, so that a sensor left running for days keeps
    // its memory.
    static constexpr std::size_t kHistory = 1000;
    const std::vector<std::string>& requests() const { return requests_; }
    // How many such requests it has heard since it was made.
    std::uint64_t heard() const { return heard_; }
    int min_response_ms() const;

private:
    // A twin's answer carries the last data bit of a read the other way round.
    Reply reply_for(const Request& request, std::int64_t now_ms, bool repeat, bool twin = false);
    // When the answer leaves after the request, or -1 when it is lost.
    int answer_delay(bool repeat);
    // Carries out the misstored_register fault after a write was taken.
    void misstore(std::string_view write, std::int64_t now_ms);

    FrameScanner scanner_;
    int address_ = 1;
    SensorMemory memory_;
    Faults faults_;
    std::vector<std::string> requests_;
    std::uint64_t heard_ = 0;
    std::optional<Reply> late_copy_;  // a coil answer the repeater still holds
    std::minstd_rand random_;
    std::uint32_t seeded_with_ = 0;
    bool seeded_ = false;
};

}  // namespace vor3::sim
