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
        Paced{"RTU", 5, {0, 28, 72, 105, 138, 165, 198, 225, 267, 307, 339, 384, 417, 450, 477, 510}},
        Paced{"RTU", 20, {0, 44, 103, 151, 199, 241, 289, 331, 388, 443, 490, 550, 598, 646, 688, 736}},
        Paced{"RTU", 250, {0, 273, 562, 840, 1118, 1390, 1668, 1940, 2227, 2512, 2789, 3079, 3357, 3635, 3907, 4185}},
        Paced{"ASCII", 20, {0, 55, 138, 201, 263, 315, 377, 430, 509, 584, 645, 728, 790, 852, 904, 966}},
        Paced{
            "ASCII", 250, {0, 285, 598, 890, 1182, 1464, 1756, 2039, 2348, 2653, 2944, 3257, 3549, 3841, 4123, 4415}}),
    [](const auto& info) { return std::string(info.param.mode) + "_" + std::to_string(info.param.min_response_ms); });

}  // namespace
}  // namespace vor3::test
