#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "link/mbap.h"
#include "sim/mbap_session.h"
#include "sim/simulated_sensor.h"
#include "sim_test_support.h"

namespace vor3::sim {
namespace {

struct FaultCase {
    const char* what;
    Framing framing;
    Faults faults;
    std::size_t replies;  // with an echo and a duplicate, the reply is the second
    int delay_ms;
    std::vector<std::size_t> piece_ends;
    const char* reply_adu;
    std::uint16_t register6;  // shows whether the write was carried out
};

const char kEcho[] = "011000060001";

const FaultCase kFaultCases[] = {
    {"none", Framing::Rtu, {}, 1, 20, {8}, kEcho, 7},
    {"silent", Framing::Rtu, {.silent = true, .noise_before = {}}, 0, 0, {}, "", 10},
    {"bad crc", Framing::Rtu, {.bad_checksum = true, .noise_before = {}}, 1, 20, {8}, kEcho, 7},
    {"bad lrc", Framing::Ascii, {.bad_checksum = true, .noise_before = {}}, 1, 20, {17}, kEcho, 7},
    {"noise", Framing::Rtu, {.noise_before = std::string("\xFF\x00", 2)}, 1, 20, {10}, kEcho, 7},
    {"split", Framing::Rtu, {.noise_before = {}, .split_parts = 3, .split_gap_ms = 40}, 1, 20, {2, 5, 8}, kEcho, 7},
    {"tiny pieces", Framing::Rtu, {.noise_before = {}, .split_parts = 50}, 1, 20, {1, 2, 3, 4, 5, 6, 7, 8}, kEcho, 7},
    {"exception", Framing::Ascii, {.noise_before = {}, .exception_code = 4}, 1, 20, {11}, "019004", 10},
    {"late", Framing::Rtu, {.noise_before = {}, .extra_delay_ms = 300}, 1, 320, {8}, kEcho, 7},
    {"echo and duplicate", Framing::Rtu, {.noise_before = {}, .duplicate = true, .echo = true}, 3, 20, {8}, kEcho, 7},
};

void PrintTo(const FaultCase& k, std::ostream* os) { *os << k.what; }
class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, ShapesTheReply) {
    const FaultCase& c = GetParam();
    const bool ascii = c.framing == Framing::Ascii;
    SimulatedSensor sensor(c.framing);
    sensor.faults() = c.faults;
    const std::string request = ascii ? test::ascii("011000060001020007") : test::rtu("011000060001020007");
    const auto replies = sensor.receive(request, 0);
    EXPECT_EQ(sensor.requests().size(), 1u) << "every request is heard";
    EXPECT_EQ(sensor.holding(6), c.register6);
    ASSERT_EQ(replies.size(), c.replies);
    if (c.replies == 0) return;
    if (c.faults.echo) {
        EXPECT_EQ(std::make_tuple(replies[0].bytes, replies[0].delay_ms), std::make_tuple(request, 0));
    }
    if (c.faults.duplicate) {
        EXPECT_EQ(replies[2].bytes, replies[1].bytes);
    }
    const Reply& r = replies[c.faults.echo ? 1 : 0];
    EXPECT_EQ(r.delay_ms, c.delay_ms);
    EXPECT_EQ(r.piece_ends, c.piece_ends);
    EXPECT_EQ(r.piece_gap_ms, c.faults.split_gap_ms);

    const std::string good = ascii ? test::ascii(c.reply_adu) : test::rtu(c.reply_adu);
    const std::size_t checked = good.size() - (ascii ? 4 : 2);  // all but the checksum
    EXPECT_EQ(r.bytes.substr(0, c.faults.noise_before.size()), c.faults.noise_before);
    const std::string frame = r.bytes.substr(c.faults.noise_before.size());
    EXPECT_EQ(frame.substr(0, checked), good.substr(0, checked));
    EXPECT_EQ(frame.size(), good.size());
    EXPECT_EQ(frame == good, !c.faults.bad_checksum);
}

INSTANTIATE_TEST_SUITE_P(Switches, FaultTest, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return test::case_name(info.param.what); });

// Behind a Modbus TCP gateway each reply goes back under its request's
// transaction; a wrong checksum becomes a wrong transaction.
TEST(Gateway, AnswersUnderTheTransactionOfEachRequest) {
    SimulatedSensor sensor;
    MbapSession session;
    const std::string answer = link::mbap_frame(7, test::bytes("010302000A"));
    auto replies = session.answers(test::bytes("0007000000060103000600010008000000"), sensor, 0);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes, answer);
    replies = session.answers(test::bytes("0601030006000100"), sensor, 0);  // the rest, and the start of a bad header
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(link::mbap_transaction(replies[0].bytes), 8);
    EXPECT_TRUE(session.answers(test::bytes("01FFFF"), sensor, 0).empty());
    EXPECT_EQ(session.answers(test::bytes("000700000006010300060001"), sensor, 0).size(), 1u) << "heard again";

    sensor.faults() = {.bad_checksum = true, .noise_before = "\xFF", .split_parts = 2};
    replies = session.answers(test::bytes("000700000006010300060001"), sensor, 0);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes, "\xFF" + link::mbap_frame(8, test::bytes("010302000A")));
    EXPECT_EQ(replies[0].piece_ends, (std::vector<std::size_t>{6, 12}));
}

TEST(ResponseTime, WandersWithinTheSpreadAndLosesSomeAnswers) {
    SimulatedSensor sensor;
    Faults& f = sensor.faults();
    f = {.noise_before = {}, .answer_ms = 900, .answer_spread_ms = 300, .repeat_answer_ms = 50, .lost_percent = 25};
    std::vector<int> delays;
    for (int i = 0; i < 400; ++i)
        for (const Reply& r : sensor.receive(test::rtu("01030006" + link::LongToHexStr(i % 2 + 1, 2)), 0))
            delays.push_back(r.delay_ms);
    EXPECT_NEAR(static_cast<int>(delays.size()), 300, 40) << "a quarter lost";
    const auto [lowest, highest] = std::minmax_element(delays.begin(), delays.end());
    EXPECT_GE(*lowest, 900);
    EXPECT_LE(*highest, 1200);
    EXPECT_GT(*highest - *lowest, 200) << "the spread is used";
    sensor.receive(test::rtu("010300060001"), 0);
    f.lost_percent = 0;
    const auto repeat = sensor.receive(test::rtu("010300060001"), 0);
    ASSERT_EQ(repeat.size(), 1u);
    EXPECT_LE(repeat[0].delay_ms, 350) << "a repeat is answered at its own time";
}

TEST(ResponseTime, FollowsRegisterSeven) {
    SimulatedSensor sensor;
    sensor.receive(test::rtu("01100007000102000F"), 0);
    EXPECT_EQ(sensor.receive(test::rtu("010300000001"), 0).at(0).delay_ms, 15);
}

}  // namespace
}  // namespace vor3::sim
