#include <gtest/gtest.h>

#include <functional>

#include "sim_test_support.h"
#include "sim/simulated_sensor.h"

namespace vor3::sim {
namespace {

using test::ascii;
using test::rtu;

struct FaultCase {
    const char* what;
    Framing framing;
    std::function<void(Faults&)> set;
    std::function<void(const std::vector<Reply>&, const SimulatedSensor&)> check;
};


std::string request_in(Framing framing) {
    // Writing register 6 shows whether the sensor acted on the request.
    return framing == Framing::Ascii ? ascii("011000060001020007") : rtu("011000060001020007");
}

const FaultCase kFaultCases[] = {
    {"none", Framing::Rtu, [](Faults&) {},
     [](const auto& r, const auto& s) {
         ASSERT_EQ(r.size(), 1u);
         EXPECT_EQ(r[0].bytes, rtu("011000060001"));
         EXPECT_EQ(r[0].delay_ms, 20);
         EXPECT_EQ(r[0].piece_ends, std::vector<std::size_t>{8});
         EXPECT_EQ(s.holding(6), 7);
     }},
    {"silent", Framing::Rtu, [](Faults& f) { f.silent = true; },
     [](const auto& r, const auto& s) {
         EXPECT_TRUE(r.empty());
         EXPECT_EQ(s.requests().size(), 1u) << "still heard";
         EXPECT_EQ(s.holding(6), 10) << "not carried out";
     }},
    {"bad crc", Framing::Rtu, [](Faults& f) { f.bad_checksum = true; },
     [](const auto& r, const auto&) {
         ASSERT_EQ(r.size(), 1u);
         const std::string good = rtu("011000060001");
         EXPECT_EQ(r[0].bytes.substr(0, 6), good.substr(0, 6));
         EXPECT_NE(r[0].bytes.substr(6), good.substr(6));
     }},
    {"bad lrc", Framing::Ascii, [](Faults& f) { f.bad_checksum = true; },
     [](const auto& r, const auto&) {
         ASSERT_EQ(r.size(), 1u);
         const std::string good = ascii("011000060001");
         EXPECT_EQ(r[0].bytes.size(), good.size());
         EXPECT_EQ(r[0].bytes.substr(0, 13), good.substr(0, 13));
         EXPECT_NE(r[0].bytes.substr(13, 2), good.substr(13, 2));
     }},
    {"noise before", Framing::Rtu, [](Faults& f) { f.noise_before = std::string("\xFF\x00", 2); },
     [](const auto& r, const auto&) {
         ASSERT_EQ(r.size(), 1u);
         EXPECT_EQ(r[0].bytes, std::string("\xFF\x00", 2) + rtu("011000060001"));
     }},
    {"split in three", Framing::Rtu, [](Faults& f) { f.split_parts = 3; f.split_gap_ms = 40; },
     [](const auto& r, const auto&) {
         ASSERT_EQ(r.size(), 1u);
         EXPECT_EQ(r[0].piece_ends, (std::vector<std::size_t>{2, 5, 8}));
         EXPECT_EQ(r[0].piece_gap_ms, 40);
     }},
    {"more pieces than bytes", Framing::Rtu, [](Faults& f) { f.split_parts = 50; },
     [](const auto& r, const auto&) {
         ASSERT_EQ(r.size(), 1u);
         EXPECT_EQ(r[0].piece_ends.size(), 8u);
         EXPECT_EQ(r[0].piece_ends.front(), 1u);
     }},
    {"forced exception", Framing::Ascii, [](Faults& f) { f.exception_code = 4; },
     [](const auto& r, const auto& s) {
         ASSERT_EQ(r.size(), 1u);
         EXPECT_EQ(r[0].bytes, ascii("019004"));
         EXPECT_EQ(s.holding(6), 10);
     }},
    {"extra delay", Framing::Rtu, [](Faults& f) { f.extra_delay_ms = 300; },
     [](const auto& r, const auto&) {
         ASSERT_EQ(r.size(), 1u);
         EXPECT_EQ(r[0].delay_ms, 320);
     }},
};

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, ShapesTheReply) {
    SimulatedSensor sensor(GetParam().framing);
    GetParam().set(sensor.faults());
    const auto replies = sensor.receive(request_in(GetParam().framing), 0);
    GetParam().check(replies, sensor);
}

INSTANTIATE_TEST_SUITE_P(Switches, FaultTest, ::testing::ValuesIn(kFaultCases), [](const auto& info) {
    std::string name = info.param.what;
    for (char& c : name) if (c == ' ') c = '_';
    return name;
});

TEST(ResponseTime, FollowsRegisterSeven) {
    SimulatedSensor sensor;
    sensor.receive(rtu("01100007000102000F"), 0);
    EXPECT_EQ(sensor.min_response_ms(), 15);
    EXPECT_EQ(sensor.receive(rtu("010300000001"), 0).at(0).delay_ms, 15);
}

}  // namespace
}  // namespace vor3::sim
