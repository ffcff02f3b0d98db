// A sensor answers every copy of a request it hears. When its response time
// lies between the reply time-out and the give-up, the request and its
// repeat are both answered; only the first answer may move the transfer on.
#include <gtest/gtest.h>

#include "link/hex.h"
#include "link/traffic.h"
#include "sim/sim_test_support.h"
#include "support/fake_program.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

class SlowSensor : public ::testing::TestWithParam<const char*> {};

TEST_P(SlowSensor, EachRequestIsDecodedOnceAndEveryFieldGetsItsOwnRegister) {
    SimHarness h(GetParam());
    const std::uint16_t cfg[] = {4660, 105, 7, 3, 800, 1200, 100, 20, 0xFFFB, 25, 0xFF38};
    for (int i = 0; i < 11; ++i) h.sensor.set_holding(i, cfg[i]);
    h.sensor.faults().extra_delay_ms = 1150;  // answers 1170 ms after each request
    ASSERT_TRUE(h.read_device(60000));
    EXPECT_FALSE(h.f.lbl_desc(16).visible());
    EXPECT_TRUE(h.msg.shown.empty());
    const char* shown[] = {"4660", "105", "7", "3", "800", "1200", "100", "20", "-0,5", "2,5", "-200"};
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(h.f.txt_data_cfg(i).text(), shown[i]) << i;
    EXPECT_EQ(h.c.g.line.answers, 7u);
    // Every request went out twice, and the chain did not skip a block.
    const std::vector<std::string> chain = {"010300060001", "010300000008", "010300080003", "010301000003",
                                            "010100000008", "010302000003", "010101000005"};
    std::vector<std::string> once;
    for (const auto& r : h.requests())
        if (once.empty() || once.back() != r) once.push_back(r);
    EXPECT_EQ(once, chain);
    // The traffic says which answers were not taken, right below each.
    std::vector<std::string> dropped;
    const auto& entries = h.prog.traffic.entries();
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].kind == link::TrafficEntry::Kind::StaleAnswer ||
            entries[i].kind == link::TrafficEntry::Kind::NotAwaited) {
            EXPECT_FALSE(entries[i - 1].sent);
            dropped.push_back(link::traffic_line(entries[i], "1033").substr(10));
        }
    EXPECT_EQ(dropped.size(), 6u);  // an answer to each repeat but the last, after the read
    EXPECT_NE(std::find(dropped.begin(), dropped.end(), " ms  --  answer above dropped: its request was answered already"), dropped.end());
    EXPECT_NE(std::find(dropped.begin(), dropped.end(), " ms  --  answer above not taken: it answers no request outstanding"), dropped.end());

    // The next write sends both configuration blocks and the coils.
    h.clock.advance(5000);
    const std::size_t before = h.requests().size();
    h.f.txt_data_cfg(4).set_text("900");
    h.f.txt_data_cfg(10).set_text("-100");
    h.f.set_parameter.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.sensor.holding(10) == 0xFF9C; }, 60000));
    EXPECT_EQ(h.sensor.holding(4), 900);
    std::vector<std::string> writes;
    for (std::size_t i = before; i < h.requests().size(); ++i) {
        const std::string head = h.requests()[i].substr(0, 12);
        if (head.substr(2, 2) == "10" && (writes.empty() || writes.back() != head)) writes.push_back(head);
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"011000020005", "011000070004"}));
}

INSTANTIATE_TEST_SUITE_P(BothFramings, SlowSensor, ::testing::Values("RTU", "ASCII"),
                         [](const auto& info) { return std::string(info.param); });

// Cyclic read-out asks the same question again and again, so a late answer
// to a repeat has the shape of the answer to the next request.
TEST(StaleAnswer, TheRepeatsAnswerIsNotTakenForTheNextRequestOfTheSameShape) {
    FakeProgram p;
    p.f.Combo_Port(6).set_list_index(1);
    p.f.chk_read_out.set_value(1);
    auto step_to = [&](std::int64_t at) { p.clock.advance(at - p.clock.now_ms()); };
    step_to(200);  // the first read of the measured values
    ASSERT_EQ(p.port.written.size(), 1u);
    step_to(1200);  // no answer yet: repeated
    ASSERT_EQ(p.port.written.size(), 2u);
    auto answer = [&](int temperature) {
        p.port.incoming += sim::test::rtu("010306" + link::LongToHexStr(temperature, 2) + "00000000");
    };
    step_to(1370);
    answer(11);  // to the first copy, 1170 ms late
    step_to(1450);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "1,1");
    ASSERT_EQ(p.c.g.line.answers, 1u);
    step_to(1650);
    ASSERT_EQ(p.port.written.size(), 3u);  // the next read has gone out
    step_to(2370);
    answer(22);  // to the repeat
    step_to(2450);
    EXPECT_EQ(p.c.g.line.answers, 1u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "1,1");
    EXPECT_TRUE(p.f.Timer5.enabled());  // the next read still waits for its answer
    answer(33);
    step_to(2550);
    EXPECT_EQ(p.c.g.line.answers, 2u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "3,3");
}

// The answer to registers 8 to 10 has the shape of the answer to the
// measured values asked for next; a second answer read 10 ms after that
// request went out, sooner than a wire could carry request and reply.
class AnswerReadSoon : public ::testing::Test {
protected:
    void SetUp() override {
        p.f.Combo_Port(6).set_list_index(1);  // polls at 50, 100, ...
        step_to(40);
        auto& t = p.c.g.transfer;
        t.request_kind = model::kReadRegisterBlock;
        t.reg_address = 8;
        p.f.Timer6.start();  // sends at 240, 440, ...
        step_to(245);
        p.port.incoming += offsets;  // read at 250
        step_to(445);
        ASSERT_EQ(p.c.g.line.answers, 1u);
        ASSERT_EQ(p.port.written.size(), 2u);  // the measured values asked for at 440
    }
    void step_to(std::int64_t at) { p.clock.advance(at - p.clock.now_ms()); }

    FakeProgram p;
    const std::string offsets = sim::test::rtu("010306" "0005" "0006" "0007");
    const std::string measured = sim::test::rtu("010306" "00E6" "0203" "01F4");
};

// A sensor that sends every answer twice: the copy cannot be the answer to
// the request just sent, and the real answer after it is still taken.
TEST_F(AnswerReadSoon, ACopyOfTheLastAnswerIsNotTheAnswer) {
    p.port.incoming += offsets;  // read at 450
    step_to(460);
    EXPECT_EQ(p.c.g.line.answers, 1u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "");
    p.port.incoming += measured;
    step_to(510);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "23");
}

// A peer on a pseudo-terminal answers faster than any wire: its fresh
// answer is taken, though read that soon and shaped like the one before.
TEST_F(AnswerReadSoon, AFastPeersFreshAnswerIsTaken) {
    p.port.incoming += measured;  // read at 450
    step_to(455);
    EXPECT_EQ(p.c.g.line.answers, 2u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "23");
    EXPECT_EQ(p.port.written.size(), 3u);  // no repeat; the coils are asked for next
}

}  // namespace
}  // namespace vor3::test
