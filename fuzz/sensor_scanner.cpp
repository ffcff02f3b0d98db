// The simulated sensor's frame scanner and request handler under random
// bytes in random pieces: no crash, and every reply a valid frame from the
// sensor's address.

#include <optional>

#include "fuzz_check.h"
#include "link/hex.h"
#include "sim/ascii_frame.h"
#include "sim/rtu_frame.h"
#include "sim/simulated_sensor.h"

namespace {

using namespace vor3;

// The ADU of a well-formed ASCII frame, or nothing.
std::optional<std::string> ascii_adu(const std::string& bytes) {
    std::string adu;
    if (bytes.size() < 9 || bytes[0] != ':' || !bytes.ends_with("\r\n")) return std::nullopt;
    const std::string message = bytes.substr(1, bytes.size() - 5);
    if (!link::hex_to_bytes(message, adu) || link::CalculateLRC(message) != bytes.substr(bytes.size() - 4, 2))
        return std::nullopt;
    return adu;
}

// The ADU of an RTU frame with a good CRC, or nothing.
std::optional<std::string> rtu_adu(const std::string& bytes) {
    if (bytes.size() < 4 || link::crc16(bytes) != 0) return std::nullopt;
    return bytes.substr(0, bytes.size() - 2);
}

// A reply is a frame in the sensor's framing. Its first byte alone does not
// tell the framing: an RTU reply from address 58 starts with ':' too. A
// sensor of either framing answers each request in the framing it came in.
void check_reply(const std::string& bytes, sim::Framing framing, int address) {
    FUZZ_CHECK(!bytes.empty(), "an empty reply");
    std::optional<std::string> adu;
    if (framing != sim::Framing::Rtu) adu = ascii_adu(bytes);
    if (!adu && framing != sim::Framing::Ascii) adu = rtu_adu(bytes);
    FUZZ_CHECK(adu.has_value(), "a reply that is no frame of its framing: " + link::bytes_to_hex(bytes));
    FUZZ_CHECK(static_cast<unsigned char>((*adu)[0]) == address, "a reply from another address");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto framing = static_cast<sim::Framing>(in.ConsumeIntegralInRange(0, 2));
    const int address = in.ConsumeIntegralInRange(1, 247);
    sim::SimulatedSensor sensor(framing, address);
    sensor.faults().duplicate = in.ConsumeBool();
    sensor.faults().echo = in.ConsumeBool();
    std::int64_t now = 0;
    while (in.remaining_bytes() > 0) {
        std::string chunk = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 300));
        // Good frames now and then, so that whole requests are scanned too.
        if (in.ConsumeBool()) {
            const char to = static_cast<char>(in.ConsumeBool() ? address : 0);
            const std::string adu = to + in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(1, 12));
            chunk += in.ConsumeBool() ? sim::encode_rtu(adu) : sim::encode_ascii(adu);
        }
        now += in.ConsumeIntegralInRange(0, 5000);
        for (const auto& reply : sensor.receive(chunk, now)) check_reply(reply.bytes, framing, address);
    }
    return 0;
}
