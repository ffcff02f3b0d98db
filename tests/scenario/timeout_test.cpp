#include <gtest/gtest.h>

#include "link/traffic.h"
#include "sim/sim_test_support.h"
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
// give-up keeps the framing's own period. An answer after the give-up
// still reaches the reader; the warning stays and the read does not go on.
TEST_P(TimeOut, NoAnswerInTimeGivesOneRepeatAndARefusalNoneThenTheWarning) {
    for (const bool known : {false, true}) {
        SimHarness h(GetParam().mode);
        if (known) {
            ASSERT_TRUE(h.read_device());
        }
        h.sensor.faults().extra_delay_ms = 4500;
        const std::size_t before = h.port.sent.size();
        h.f.cmd_read_device.press();
        const std::int64_t t0 = h.clock.now_ms();
        ASSERT_TRUE(h.clock.run_until([&] { return h.f.warning_line().visible(); }, 10000));
        const std::int64_t warned = h.clock.now_ms();
        EXPECT_FALSE(h.f.chk_read_out.enabled());
        EXPECT_FALSE(h.f.set_parameter.enabled());
        h.clock.advance(10000);
        ASSERT_EQ(h.port.sent.size(), before + 2);
        EXPECT_EQ(h.port.sent[before].bytes, h.port.sent[before + 1].bytes);
        EXPECT_EQ(h.port.sent[before + 1].at - h.port.sent[before].at, 1000);
        EXPECT_EQ(warned - t0, known ? GetParam().known : GetParam().first_contact) << known;
        EXPECT_NE(h.c.g.reader.rx_text.find("010302000A"), std::string::npos);  // register 6 = 10
        EXPECT_TRUE(h.f.warning_line().visible());
        EXPECT_EQ(h.f.warning_line().caption(), kWarning);
        expect_idle(h);
        EXPECT_TRUE(h.msg.shown.empty());

        // The next operation hides the warning again.
        h.sensor.faults().extra_delay_ms = 0;
        ASSERT_TRUE(h.read_device());
        EXPECT_FALSE(h.f.warning_line().visible());
    }
    // A refusal ends the read where it comes, unrepeated, and says which.
    for (const std::size_t answered : {0u, 2u}) {
        SimHarness h(GetParam().mode);
        const int code = 2 + static_cast<int>(answered);
        h.sensor.faults().exception_code = answered == 0 ? code : 0;
        h.f.cmd_read_device.press();
        ASSERT_TRUE(h.clock.run_until([&] { return h.sensor.requests().size() >= answered; }, 5000));
        h.sensor.faults().exception_code = code;
        h.clock.advance(20000);
        EXPECT_EQ(h.requests().size(), answered + 1);
        ASSERT_EQ(h.msg.shown.size(), 1u);
        EXPECT_EQ(h.msg.shown[0], "Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 0" + std::to_string(code) +
                                      (code == 2 ? " (unzulässige Datenadresse)." : " (Gerätefehler)."));
        EXPECT_TRUE(h.f.warning_line().visible());
        expect_idle(h);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(h.f.chk_cfg(i).value(), 0);  // nothing decoded as data
    }
}

INSTANTIATE_TEST_SUITE_P(BothFramings, TimeOut,
                         ::testing::Values(GiveUp{"RTU", 1000 + 3118, 1500}, GiveUp{"ASCII", 1000 + 3184, 2000}),
                         [](const auto& info) { return std::string(info.param.mode); });

// However slow the sensor, short or negative the status window's time
// limit (from the display interval), a healthy read and write go through
// without a warning: the reply wait, the give-up and the block timers follow
// the minimum response time read or written. A sensor that takes a new one
// at once answers its own write at the new pace, and the read-back goes at
// that pace: seconds a block, not 45 s.
struct Pace {
    const char* name;
    const char* mode;
    int baud_index;
    std::int16_t display;     // register 6
    std::uint16_t response;   // register 7, the minimum response time
    const char* written;      // into register 7; nothing: other fields
    std::size_t requests;     // the sensor hears in the read
    std::int64_t period = 0;  // of the block timers after the write, where it changes
};

const Pace kPaces[] = {
    // Register 6 and the first block go out before a slow sensor's pace is
    // known, so each is repeated once; the late answers are not taken.
    {"slow sensor lowered", "RTU", 0, 0, 3000, "100", 9},
    // 3000 ms, both frames of the largest exchange at 9600 E and a poll.
    {"raised at once", "RTU", 0, 10, 20, "3000", 7, 3096},
    {"raised at once in ascii", "ASCII", 0, 10, 20, "3000", 7, 3186},
    {"short time limit at 57600", "RTU", 3, 5, 400, nullptr, 7},
    {"negative display interval", "RTU", 0, -100, 400, nullptr, 7},
    {"no display interval", "RTU", 0, 0, 400, nullptr, 7},
};

void PrintTo(const Pace& k, std::ostream* os) { *os << k.name; }
class SensorPace : public ::testing::TestWithParam<Pace> {};

TEST_P(SensorPace, ReadAndWriteGoThroughWithoutAWarning) {
    const Pace& k = GetParam();
    SimHarness h(k.mode);
    h.f.Combo_Port(6).set_list_index(0);
    h.f.Combo_Port(1).set_list_index(k.baud_index);
    h.f.Combo_Port(6).set_list_index(1);
    h.sensor.set_holding(6, static_cast<std::uint16_t>(k.display));
    h.sensor.set_holding(7, k.response);
    ASSERT_TRUE(h.read_device(60000));
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), std::to_string(k.response));
    EXPECT_EQ(h.sensor.requests().size(), k.requests);
    const std::size_t before = h.sensor.requests().size();
    if (k.written) {
        h.f.txt_data_cfg(7).set_text(k.written);
    } else {
        h.f.txt_data_cfg(4).set_text("900");
        h.f.txt_data_in(2).set_text("450");
    }
    const std::int64_t start = h.clock.now_ms();
    h.f.set_parameter.press();
    ASSERT_TRUE(h.settle(120000));
    EXPECT_LT(h.clock.now_ms() - start, 40000);
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_TRUE(h.msg.shown.empty());
    if (k.period) {
        EXPECT_EQ(h.f.Timer6.interval(), k.period);
    }
    // Two blocks and the coils of each part written, then the read-back.
    EXPECT_EQ(h.sensor.requests().size(), before + (k.written ? 3 : 5) + 6);
    const std::string response = k.written ? k.written : std::to_string(k.response);
    EXPECT_EQ(h.sensor.holding(7), std::stoi(response));
    EXPECT_EQ(h.c.g.transfer.min_response_ms, std::stoi(response));
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), response);
    for (const auto* field : {&h.f.txt_data_cfg(7), &h.f.txt_data_cfg(4), &h.f.txt_data_in(2)})
        EXPECT_EQ(field->fore_color(), form::kNormalText);  // confirmed, read back
}

INSTANTIATE_TEST_SUITE_P(Paces, SensorPace, ::testing::ValuesIn(kPaces),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// The gateway sends the answer under another transaction: it is dropped
// and named, the request is repeated, and the read gives up as on a silent
// line.
TEST(BehindGateway, AnAnswerUnderAnotherTransactionIsDroppedAndNamed) {
    SimHarness h;
    h.sim_port.set_carrier(form::Carrier::ModbusTcp, 2);
    h.sensor.faults().bad_checksum = true;  // to a gateway: the transaction is off by one
    h.read_device();
    EXPECT_TRUE(h.f.warning_line().visible());
    EXPECT_EQ(h.f.txt_data_cfg(0).text(), "");
    std::vector<std::string> lines;
    for (const auto& e : h.prog.traffic.entries()) lines.push_back(link::traffic_line(e, "1033").substr(10));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              " ms  TX  00 01 00 00 00 06 01 03 00 06 00 01  transaction 1, unit 1 – addr 1: read registers 0x0006");
    EXPECT_EQ(lines[1], " ms  RX  00 02 00 00 00 05 01 03 02 00 0A  transaction 2, unit 1 – addr 1: registers 10");
    EXPECT_EQ(lines[2], " ms  --  answer above dropped: no request outstanding has its transaction identifier");
}

}  // namespace
}  // namespace vor3::test
