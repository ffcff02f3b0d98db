// Requests and the sensor's replies, checked at the level of address,
// function and data; the frame checks sit in frame_scanning_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>

#include "sim/sensor_line.h"
#include "sim/simulated_sensor.h"
#include "sim_test_support.h"

namespace vor3::sim {
namespace {

using test::bytes;
using test::rtu;

// The reply's address, function and data as hex, after checking its CRC.
std::string ask(Responder& sensor, std::string_view request_hex, std::int64_t now_ms = 0) {
    const auto replies = sensor.receive(rtu(request_hex), now_ms);
    if (replies.empty()) return "(none)";
    const std::string& frame = replies.front().bytes;
    const std::string body = frame.substr(0, frame.size() - 2);
    EXPECT_EQ(rtu(link::bytes_to_hex(body)), frame) << "reply CRC";
    return link::bytes_to_hex(body);
}

struct Exchange {
    const char* what;
    const char* request;
    const char* reply;
};

// The reads and writes of the program's own transfers are met by every
// scenario; these are the sensor's answers to what the program never asks.
const Exchange kExchanges[] = {
    {"coils packed from bit 0", "010100030005", "0101010F"},
    // function not offered
    {"write single register", "010600020001", "018601"},
    {"report slave id", "0111", "019101"},
    // range outside the map or onto read-only registers
    {"read past configuration", "01030000000C", "018302"},
    {"read between blocks", "010300200001", "018302"},
    {"read coils past block", "010100000009", "018102"},
    {"write device coding", "011000000001021234", "019002"},
    {"write firmware through range", "0110000100020400010002", "019002"},
    {"write measured value", "011001000001020000", "019002"},
    // quantity or byte count not allowed
    {"read no registers", "010300000000", "018303"},
    {"read 126 registers", "01030000007E", "018303"},
    {"read 2001 coils", "0101000007D1", "018103"},
    {"read 2000 coils is a range fault", "0101000007D0", "018102"},
    {"register byte count short", "01100004000203038405", "019003"},
    {"coil byte count long", "010F000000080200FF", "018F03"},
};

void PrintTo(const Exchange& k, std::ostream* os) { *os << k.what; }
class ExchangeTest : public ::testing::TestWithParam<Exchange> {};

TEST_P(ExchangeTest, RepliesAsExpected) {
    SimulatedSensor sensor;
    EXPECT_EQ(ask(sensor, GetParam().request), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Map, ExchangeTest, ::testing::ValuesIn(kExchanges),
                         [](const auto& info) { return test::case_name(info.param.what); });

TEST(SensorWrites, ChangeTheMapAndOnlyWhereAllowed) {
    SimulatedSensor sensor;
    ask(sensor, "010F010000050115");        // 1,0,1,0,1
    ask(sensor, "0110000100020400FF0007");  // refused: firmware is read-only
    EXPECT_EQ((std::vector<int>{sensor.holding(1), sensor.holding(2)}), (std::vector<int>{105, 0}))
        << "a refused write must not be applied in part";
    EXPECT_EQ((std::vector<bool>{sensor.coil(0x100), sensor.coil(0x101), sensor.coil(0x102), sensor.coil(0x104)}),
              (std::vector<bool>{true, false, true, true}));
}

// Who answers on a line of several and what each keeps is met by the bus
// tests; here, what they do not show.
TEST(SensorLines, BroadcastsReachAllAndAChangedLineKeepsItsSensors) {
    SensorLine line(Framing::Rtu, {1, 5, 37});
    ask(line, "0510000400010203E8");
    EXPECT_EQ(ask(line, "001000060001020007"), "(none)") << "a broadcast reaches all and is answered by none";
    for (int a : {1, 5, 37}) EXPECT_EQ(line.sensor(a).holding(6), 7) << a;
    line.set_addresses({5, 6});
    EXPECT_EQ(line.sensor(5).holding(4), 1000);
    EXPECT_EQ(ask(line, "060300030001"), "0603020006");
    EXPECT_EQ(ask(line, "010300030001"), "(none)");
    // One sensor alone keeps the factory's location id.
    SensorLine one(Framing::Rtu, {9});
    EXPECT_EQ(ask(one, "090300030001"), "0903020001");
}

TEST(MeasuredValues, FollowOffsetsUntilPinned) {
    SimulatedSensor sensor;
    const std::int64_t t = 123'456;
    const int plain = sensor.holding(0x100, t);
    sensor.set_holding(8, static_cast<std::uint16_t>(-15));
    EXPECT_EQ(sensor.holding(0x100, t), plain - 15);

    sensor.set_holding(0x100, static_cast<std::uint16_t>(-52));  // -5.2 °C
    sensor.set_holding(0x102, 2500);
    for (std::int64_t when : {0, 600'000, 7'000'000})
        EXPECT_EQ(ask(sensor, "010301000001", when), "010302FFCC") << when;
    EXPECT_EQ(sensor.holding(0x102, 999'999), 2500);
}

}  // namespace
}  // namespace vor3::sim
