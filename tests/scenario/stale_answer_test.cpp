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
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_TRUE(h.msg.shown.empty());
    const char* shown[] = {"4660", "105", "7", "3", "800", "1200", "100", "20", "-0,5", "2,5", "-200"};
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(h.f.txt_data_cfg(i).text(), shown[i]) << i;
    EXPECT_EQ(h.c.g.line.answers, 7u);
    // Every request goes out twice (T), both copies are answered (A), the
    // answer to the repeat is named as not taken right below it (x), and
    // no request goes out before that answer has come.
    std::string turns, expected;
    for (const auto& e : h.prog.traffic.entries())
        turns += e.sent ? 'T' : e.kind == link::TrafficEntry::Kind::StaleAnswer ? 'x' : 'A';
    std::vector<std::string> twice;
    for (const char* r : {"010300060001", "010300000008", "010300080003", "010301000003", "010100000008",
                          "010302000003", "010101000005"}) {
        twice.insert(twice.end(), 2, r);
        expected += "TTAAx";
    }
    EXPECT_EQ(turns, expected.substr(0, expected.size() - 2));  // the last repeat is answered after the read
    EXPECT_EQ(h.requests(), twice);
}

INSTANTIATE_TEST_SUITE_P(BothFramings, SlowSensor, ::testing::Values("RTU", "ASCII"),
                         [](const auto& info) { return std::string(info.param); });

// Cyclic read-out asks the same question again and again, so a late answer
// to a repeat has the shape of the answer to the next request: the next
// request waits until that answer has come (or can no longer come).
TEST(LineTurn, TheNextRequestGoesOutAsSoonAsTheRepeatIsAnswered) {
    FakeProgram p;
    const auto step_to = [&](std::int64_t at) { p.clock.advance(at - p.clock.now_ms()); };
    const auto answer = [&](int temperature) {
        p.port.incoming += sim::test::rtu("010306" + link::LongToHexStr(temperature, 2) + "00000000");
    };
    p.f.Combo_Port(6).set_list_index(1);
    p.f.chk_read_out.set_value(1);
    step_to(200);  // the first read of the measured values
    ASSERT_EQ(p.port.written.size(), 1u);
    step_to(1200);  // no answer yet: repeated
    ASSERT_EQ(p.port.written.size(), 2u);
    step_to(1370);
    answer(11);  // to the first copy, 1170 ms late
    step_to(1450);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "1,1");
    ASSERT_EQ(p.c.g.line.answers, 1u);
    step_to(2350);
    ASSERT_EQ(p.port.written.size(), 2u) << "the next read waits for the answer to the repeat";
    answer(22);  // to the repeat, read at 2400
    step_to(2400);
    EXPECT_EQ(p.port.written.size(), 3u);
    EXPECT_EQ(p.c.g.line.answers, 1u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "1,1");
    answer(33);
    step_to(2450);
    EXPECT_EQ(p.c.g.line.answers, 2u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "3,3");
}

// The answer to registers 8 to 10 has the shape of the answer to the
// measured values asked for next; a sensor that sends every answer twice
// has its copy read 10 ms after that request went out, sooner than a wire
// could carry request and reply: the copy cannot be the answer, and the
// real answer after it is still taken. The traffic reads an answer not
// taken as what it answers, not in the layout of the request just sent;
// one that answers no request known, as it came.
TEST(AnswerReadSoon, ACopyOfTheLastAnswerIsNotTheAnswer) {
    FakeProgram p;
    const auto step_to = [&](std::int64_t at) { p.clock.advance(at - p.clock.now_ms()); };
    // clang-format off
    const std::string offsets = sim::test::rtu("010306" "0005" "0006" "FF38");
    // clang-format on
    p.f.Combo_Port(6).set_list_index(1);  // polls at 50, 100, ...
    step_to(40);
    p.c.g.transfer.request_kind = model::kReadRegisterBlock;
    p.c.g.transfer.reg_address = 8;
    p.f.Timer6.start();  // sends at 240, 440, ...
    step_to(245);
    p.port.incoming += offsets;  // read at 250
    step_to(445);
    ASSERT_EQ(p.c.g.line.answers, 1u);
    ASSERT_EQ(p.port.written.size(), 2u);  // the measured values asked for at 440
    p.port.incoming += offsets;            // read at 450
    step_to(455);
    // clang-format off
    p.port.incoming += sim::test::rtu("010310" "1234" "0069" "0000" "9C40" "0320" "04B0" "000A" "0014");
    // clang-format on
    step_to(500);
    EXPECT_EQ(p.c.g.line.answers, 1u);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "");
    p.port.incoming += sim::test::rtu(
        "010306"
        "00E6"
        "0203"
        "01F4");
    step_to(550);
    EXPECT_EQ(p.f.txt_data_out(0).text(), "23,0");
    std::vector<std::string> said;
    for (const auto& e : p.prog.traffic.entries()) {
        const std::string line = link::traffic_line(e, "1033");
        said.push_back(line.substr(line.find("ms  ") + 4));
    }
    said.resize(7);
    said.erase(said.begin(), said.begin() + 3);  // the request for the offsets, its answer, the next request
    EXPECT_EQ(said, (std::vector<std::string>{
                        "RX  01 03 06 00 05 00 06 FF 38 4D 56  addr 1: registers 5, 6, -200",
                        "--  answer above dropped: its request was answered already",
                        "RX  01 03 10 12 34 00 69 00 00 9C 40 03 20 04 B0 00 0A 00 14 36 8F  addr 1: registers 0x1234, "
                        "0x0069, 0x0000, 0x9C40, 0x0320, 0x04B0, 0x000A, 0x0014",
                        "--  answer above not taken: it answers no request outstanding",
                    }));
}

// Two devices at one address answer every request, with different values:
// the transfer ends and says so. Identical copies of an answer are harmless.
// A second answer read only as the next request goes out, after the poll
// that took the first, is told too.
TEST(TwoAnswers, DifferentOnesEndTheTransferNamingTheAddress) {
    const std::vector<std::string> told = {
        "Auf eine Anfrage kamen zwei verschiedene Antworten: Vielleicht haben zwei Geräte die Adresse 1. Die "
        "Übertragung wurde beendet."};
    const struct {
        const char* mode;
        bool twin;      // else every answer comes twice, alike
        bool read_out;  // during the cyclic read-out, else a whole read
    } cases[] = {{"ASCII", true, false}, {"RTU", true, true}, {"RTU", false, false}, {"ASCII", false, true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.mode) + (k.twin ? " twin" : " duplicate") + (k.read_out ? " read-out" : " read"));
        SimHarness h(k.mode);
        if (k.read_out) {
            ASSERT_TRUE(h.read_device());
        }
        (k.twin ? h.sensor.faults().twin : h.sensor.faults().duplicate) = true;
        if (k.read_out) {
            h.f.chk_read_out.set_value(1);
            h.clock.advance(10000);
        } else {
            h.f.cmd_read_device.press();
        }
        ASSERT_TRUE(h.settle());
        if (!k.twin) {
            EXPECT_TRUE(h.msg.shown.empty());
            EXPECT_FALSE(h.f.warning_line().visible());
            continue;
        }
        EXPECT_EQ(h.msg.shown, told);
        EXPECT_TRUE(h.f.warning_line().visible());
        EXPECT_EQ(h.f.chk_read_out.value(), 0);
        const std::size_t sent = h.requests().size();
        h.clock.advance(10000);
        EXPECT_EQ(h.requests().size(), sent) << "nothing more is sent";
    }
    FakeProgram p;
    const auto step_to = [&](std::int64_t at) { p.clock.advance(at - p.clock.now_ms()); };
    p.f.Combo_Port(6).set_list_index(1);  // polls at 50, 100, ...
    step_to(40);
    p.c.g.transfer.request_kind = model::kReadRegisterBlock;
    p.c.g.transfer.reg_address = 8;
    p.f.Timer6.start();  // sends at 240, 440, ...
    step_to(395);
    p.port.incoming += sim::test::rtu("01030600050006FF38");  // read at 400
    step_to(420);
    ASSERT_EQ(p.c.g.line.answers, 1u);
    p.port.incoming += sim::test::rtu("01030600050006FF39");  // read as the next request goes out at 440
    step_to(500);
    EXPECT_EQ(p.msg.shown, told);
    EXPECT_EQ(p.port.written.size(), 1u);
}

}  // namespace
}  // namespace vor3::test
