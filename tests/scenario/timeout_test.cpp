#include <gtest/gtest.h>

#include "support/expect.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

const std::string kWarning = "Kommunikationsprobleme, bitte Einstellungen überprüfen!";

struct GiveUp {
    const char* mode;
    std::int64_t first_contact;  // warning after the first frame, sensor unknown
    std::int64_t known;          // ... once its 20 ms minimum response time is read
};

void PrintTo(const GiveUp& k, std::ostream* os) { *os << k.mode; }
class TimeOut : public ::testing::TestWithParam<GiveUp> {};

// The repeat goes out after 1000 ms. Before the sensor's minimum response
// time is known the give-up allows for the slowest one the window can set
// (3000 ms plus both frames on the line and a poll); once it is known, the
// give-up keeps the framing's own period.
TEST_P(TimeOut, NoAnswerGivesOneRepeatThenTheWarning) {
    for (const bool known : {false, true}) {
        SimHarness h(GetParam().mode);
        if (known) {
            ASSERT_TRUE(h.read_device());
        }
        h.sensor.faults().silent = true;
        const std::size_t before = h.port.sent.size();
        h.f.cmd_read_device.press();
        const std::int64_t t0 = h.clock.now_ms();
        ASSERT_TRUE(h.clock.run_until([&] { return h.f.warning_line().visible(); }, 10000));
        const std::int64_t warned = h.clock.now_ms();
        h.clock.advance(10000);
        ASSERT_EQ(h.port.sent.size(), before + 2);
        EXPECT_EQ(h.port.sent[before].bytes, h.port.sent[before + 1].bytes);
        EXPECT_EQ(h.port.sent[before + 1].at - h.port.sent[before].at, 1000);
        EXPECT_EQ(warned - t0, known ? GetParam().known : GetParam().first_contact) << known;
        EXPECT_EQ(h.f.warning_line().caption(), kWarning);
        auto& t = h.c.g.transfer;
        EXPECT_EQ(t.request_kind, 1);
        EXPECT_EQ(t.reg_address, 0);
        EXPECT_TRUE(t.bus_ready);
        EXPECT_FALSE(h.f.chk_read_out.enabled());
        EXPECT_FALSE(h.f.set_parameter.enabled());
        expect_idle(h);
        EXPECT_TRUE(h.f.Timer4.enabled());  // late input is still read
        EXPECT_TRUE(h.msg.shown.empty());

        // The next operation hides the warning again.
        h.sensor.faults().silent = false;
        ASSERT_TRUE(h.read_device());
        EXPECT_FALSE(h.f.warning_line().visible());
    }
}

INSTANTIATE_TEST_SUITE_P(BothFramings, TimeOut,
                         ::testing::Values(GiveUp{"RTU", 1000 + 3118, 1500}, GiveUp{"ASCII", 1000 + 3184, 2000}),
                         [](const auto& info) { return std::string(info.param.mode); });

// A sensor set to answer slowly stays reachable: the time-out and the
// give-up follow the minimum response time read or written.
TEST(TimeOut, ASlowSensorIsReadAndWrittenWithoutARepeat) {
    SimHarness h;
    h.sensor.set_holding(7, 3000);
    h.sensor.set_holding(6, 0);  // fast block timers, so only the sensor is slow
    ASSERT_TRUE(h.read_device(60000));
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), "3000");
    EXPECT_EQ(h.c.g.transfer.min_response_ms, 3000);
    // Register 6 and the first block go out before the sensor's pace is
    // known, so each is repeated once; the late answers to the repeats are
    // not taken for anything.
    EXPECT_EQ(h.sensor.requests().size(), 9u);

    // Lowering it again is written at the slow pace and then read fast.
    const std::size_t before = h.sensor.requests().size();
    h.f.txt_data_cfg(7).set_text("100");
    h.f.set_parameter.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.f.enabled() && h.c.g.transfer.request_kind == 0; }, 120000));
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_EQ(h.sensor.holding(7), 100);
    EXPECT_EQ(h.sensor.requests().size(), before + 3 + 6);  // two blocks, the coils, the read-back
    EXPECT_EQ(h.c.g.transfer.min_response_ms, 100);
}

// A sensor that takes a new minimum response time at once answers its own
// write at the new pace: neither the reply wait nor the status window's
// time limit may give up on that answer. The read-back then goes at the
// pace the sensor needs: seconds a block, not 45 s.
class EitherFraming : public ::testing::TestWithParam<const char*> {};

TEST_P(EitherFraming, RaisingTheMinimumResponseTimeIsConfirmedAtTheNewPace) {
    SimHarness h(GetParam());
    ASSERT_TRUE(h.read_device());
    h.f.txt_data_cfg(7).set_text("3000");
    const std::int64_t start = h.clock.now_ms();
    h.f.set_parameter.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.f.enabled() && h.c.g.transfer.request_kind == 0; }, 600000));
    // 3000 ms, both frames of the largest exchange at 9600 E and a poll.
    EXPECT_EQ(h.f.Timer6.interval(), std::string(GetParam()) == "RTU" ? 3096 : 3186);
    EXPECT_LT(h.clock.now_ms() - start, 40000);
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_TRUE(h.msg.shown.empty());
    EXPECT_EQ(h.sensor.holding(7), 3000);
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), "3000");
    EXPECT_EQ(h.f.txt_data_cfg(7).fore_color(), form::kNormalText);  // confirmed, read back
}

TEST_P(EitherFraming, AnAnswerToTheRepeatEndsTheWaitWithoutAWarning) {
    SimHarness h(GetParam());
    h.sensor.faults().silent = true;
    h.f.cmd_read_device.press();
    h.clock.advance(500);
    h.sensor.faults().silent = false;
    ASSERT_TRUE(h.read_device());
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_EQ(h.requests().size(), 8u);  // the chain plus one repeat
    EXPECT_EQ(h.requests()[0], h.requests()[1]);
}

TEST(TimeOut, ALateAnswerStillReachesTheReaderAndTheWarningStays) {
    SimHarness h;
    h.sensor.faults().extra_delay_ms = 4500;  // the first answer comes after the give-up
    h.f.cmd_read_device.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.f.warning_line().visible(); }, 5000));
    h.clock.advance(3000);
    EXPECT_EQ(h.port.waiting_count(), 0);
    EXPECT_EQ(h.c.g.reader.rx_text.substr(0, 10), "010302000A");  // register 6 = 10
    EXPECT_TRUE(h.f.warning_line().visible());
    EXPECT_FALSE(h.prog.frmState.loaded());  // the abandoned read does not go on
    EXPECT_EQ(h.port.sent.size(), 2u);
}

TEST(TimeOut, ClosingThePortWhileARepeatIsPendingShowsNoWarning) {
    SimHarness h;
    h.sensor.faults().silent = true;
    h.f.cmd_read_device.press();
    h.clock.advance(1200);  // repeated, give-up pending
    ASSERT_TRUE(h.f.Timer3.enabled());
    h.f.Combo_Port(6).set_list_index(0);
    h.clock.advance(5000);
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_FALSE(h.f.Timer3.enabled());
    EXPECT_FALSE(h.f.Timer5.enabled());
    EXPECT_EQ(h.port.sent.size(), 2u);
}

TEST_P(EitherFraming, AWrongChecksumIsRepeatedAndThenGivenUp) {
    SimHarness h(GetParam());
    h.sensor.faults().bad_checksum = true;
    h.f.cmd_read_device.press();
    h.clock.advance(5000);
    EXPECT_EQ(h.port.sent.size(), 2u);
    EXPECT_TRUE(h.f.warning_line().visible());
    EXPECT_FALSE(h.prog.frmState.loaded());  // nothing was decoded
    EXPECT_EQ(h.c.g.transfer.reply_delay, 0);
}

TEST_P(EitherFraming, AnExceptionReplyEndsTheTransferAndSaysWhich) {
    SimHarness h(GetParam());
    h.sensor.faults().exception_code = 2;
    h.f.cmd_read_device.press();
    h.clock.advance(5000);
    EXPECT_EQ(h.port.sent.size(), 1u);  // answered: no repeat
    ASSERT_EQ(h.msg.shown.size(), 1u);
    EXPECT_NE(h.msg.shown[0].find("Modbus-Ausnahme 02"), std::string::npos) << h.msg.shown[0];
    EXPECT_TRUE(h.f.warning_line().visible());
    expect_idle(h);
    EXPECT_EQ(h.c.g.transfer.request_kind, 1);
    EXPECT_TRUE(h.c.g.transfer.bus_ready);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(h.f.chk_cfg(i).value(), 0);  // nothing decoded as data
}

TEST(TimeOut, AnExceptionInTheMiddleOfTheChainStopsIt) {
    SimHarness h("ASCII");
    h.f.cmd_read_device.press();
    // Let register 6 and the first block through, then refuse.
    ASSERT_TRUE(h.clock.run_until([&] { return h.sensor.requests().size() == 2; }, 5000));
    h.sensor.faults().exception_code = 4;
    h.clock.advance(20000);
    EXPECT_EQ(h.requests().size(), 3u);
    ASSERT_EQ(h.msg.shown.size(), 1u);
    EXPECT_NE(h.msg.shown[0].find("04"), std::string::npos);
    EXPECT_TRUE(h.f.enabled());
}

INSTANTIATE_TEST_SUITE_P(TimeOut, EitherFraming, ::testing::Values("RTU", "ASCII"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace vor3::test
