#include <gtest/gtest.h>

#include "support/expect.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

// Answer-paced, a read and then a write of one value with its read-back,
// against a sensor of each minimum response time: every frame, and the time
// it went out. Each request follows the answer before once the line has
// been silent for 3.5 characters (RTU: 4.01 ms at 9600 8E1) or the frame
// has ended (ASCII), whatever the block timers' period. So at 20 ms in RTU
// the first answer (8 and 7 characters at 1.146 ms, and 20 ms) ends at
// 37.2 ms, is read at 39, and the next request goes out at 44; under the
// schedule it would wait for Timer6's first tick, 207 ms after the answer.
struct Paced {
    const char* mode;
    int min_response_ms;
    std::vector<std::int64_t> sent_at;  // the read's seven requests, then the write's and its read-back's
};
void PrintTo(const Paced& p, std::ostream* os) { *os << p.mode << " " << p.min_response_ms << " ms"; }
class AnswerPace : public ::testing::TestWithParam<Paced> {};

const std::vector<std::string> kRead = {"010300060001", "010300000008", "010300080003", "010301000003",
                                        "010100000008", "010302000003", "010101000005"};

TEST_P(AnswerPace, EachRequestFollowsTheAnswerBefore) {
    const Paced& p = GetParam();
    SimHarness h(p.mode);
    h.sensor.set_holding(7, static_cast<std::uint16_t>(p.min_response_ms));
    h.f.chk_pace.set_value(1);
    h.msg.shown.clear();  // this harness keeps no settings, and says so
    const std::int64_t start = h.clock.now_ms();
    ASSERT_TRUE(h.read_device());
    h.f.txt_data_cfg(4).set_text("900");
    h.f.set_parameter.press();
    ASSERT_TRUE(h.settle());
    EXPECT_EQ(h.sensor.holding(4), 900);
    EXPECT_FALSE(warning_shown(h));

    std::vector<std::string> expected = kRead;
    expected.insert(expected.end(), {"0110000200050A", "01100007000408", "010F0000000801", "010300000008",
                                     "010300080003", "010301000003", "010100000008", "010302000003", "010101000005"});
    std::vector<std::int64_t> at;
    for (const auto& s : h.port.sent) at.push_back(s.at - start);
    const auto requests = h.requests();
    ASSERT_EQ(requests.size(), expected.size());
    for (std::size_t i = 0; i < requests.size(); ++i)
        EXPECT_EQ(requests[i].substr(0, expected[i].size()), expected[i]) << i;
    EXPECT_EQ(at, p.sent_at);
}

INSTANTIATE_TEST_SUITE_P(
    MinimumResponseTimes, AnswerPace,
    ::testing::Values(
        Paced{"RTU", 5, {0, 28, 72, 104, 136, 163, 195, 222, 263, 302, 333, 377, 409, 441, 468, 500}},
        Paced{"RTU", 20, {0, 44, 103, 150, 197, 239, 286, 328, 384, 438, 484, 543, 590, 637, 679, 726}},
        Paced{"RTU", 250, {0, 273, 562, 839, 1116, 1388, 1665, 1937, 2223, 2507, 2783, 3072, 3349, 3626, 3898, 4175}},
        Paced{"ASCII", 20, {0, 54, 137, 199, 261, 313, 375, 428, 507, 582, 642, 725, 787, 849, 901, 963}},
        Paced{
            "ASCII", 250, {0, 284, 597, 889, 1181, 1463, 1755, 2038, 2347, 2652, 2942, 3255, 3547, 3839, 4121, 4413}}),
    [](const auto& info) { return std::string(info.param.mode) + "_" + std::to_string(info.param.min_response_ms); });

}  // namespace
}  // namespace vor3::test
