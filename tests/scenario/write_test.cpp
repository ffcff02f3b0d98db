#include <gtest/gtest.h>

#include <algorithm>

#include "app/field_entry.h"
#include "sim/sim_test_support.h"
#include "support/expect.h"
#include "support/harness.h"
#include "ui/config_window.h"
#include "ui/status_window.h"

namespace vor3::test {
namespace {

// The read chain after the register-6 step, as the read-back after a write
// runs it.
const std::vector<std::string> kReadBack = {"010300000008", "010300080003", "010301000003",
                                            "010100000008", "010302000003", "010101000005"};

// A write sends the parts that hold a mark, in turn (configuration
// registers in two blocks, configuration coils, external values, LED
// coils), each part whole, then reads the device back once; the status
// window stays up from the press to the end of the read-back. A confirmed
// write with nothing marked sends every part, a cancelled one nothing.
struct WriteCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> edits;  // field, value entered
    std::vector<std::string> writes;
    bool cancellable;  // "Abbruch" shown: the configuration is written
    bool confirmed = true;
    int misstored = -1;          // the sensor keeps this register's value sent plus one
    const char* told = nullptr;  // what the window says after the read-back
    // What the status line then says of the write.
    const char* status = "17 Werte geschrieben und bestätigt";
};

// clang-format off
const WriteCase kWrites[] = {
    {"configuration",
     {{"txt_data_cfg(4)", "900"}, {"txt_data_cfg(8)", "-1,5"}, {"chk_cfg(1)", "0"}},
     {"0110000200050A" "0000" "0001" "0384" "04B0" "000A", "01100007000408" "0014" "FFF1" "0000" "0000",
      "010F0000000801" "7D"},
     true},
    {"external values and led coils",
     {{"txt_data_in(0)", "22,5"}, {"chk_inp_bit(0)", "1"}, {"chk_inp_bit(2)", "1"}},
     {"01100200000306" "00E1" "0000" "0000", "010F0100000501" "05"},
     false, true, -1, nullptr, "8 Werte geschrieben und bestätigt"},
    // The sensor's factory values sent back.
    {"nothing marked and confirmed", {},
     {"0110000200050A" "0000" "0001" "0320" "04B0" "000A", "01100007000408" "0014" "0000" "0000" "0000",
      "010F0000000801" "7F", "01100200000306" "0000" "0000" "0000", "010F0100000501" "00"},
     true, true, -1, nullptr, "25 Werte geschrieben und bestätigt"},
    {"nothing marked and cancelled", {}, {}, false, false},
    // A value carried back unchanged is read back as well.
    {"a value the sensor stores otherwise",
     {{"txt_data_cfg(4)", "900"}},
     {"0110000200050A" "0000" "0001" "0384" "04B0" "000A", "01100007000408" "0014" "0000" "0000" "0000",
      "010F0000000801" "7F"},
     true, true, 5,
     "Das Gerät hat den Empfang bestätigt, hält aber nicht alle Werte so, wie sie geschrieben wurden:\n"
     "Schaltschwelle rote LED: 1200 geschrieben, 1201 zurückgelesen",
     "17 Werte geschrieben; anders zurückgelesen: Schaltschwelle rote LED 1200 → 1201"},
    // clang-format on
};

void PrintTo(const WriteCase& k, std::ostream* os) { *os << k.name; }
class WriteParts : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteParts, AreWrittenInTurnThenReadBackOnce) {
    const WriteCase& k = GetParam();
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    h.sensor.faults().misstored_register = k.misstored;
    const std::size_t before = h.requests().size();
    for (const auto& [field, value] : k.edits) ASSERT_EQ(app::enter_value(h.prog, field, value), std::nullopt) << field;
    if (k.edits.empty()) {
        h.confirm.answer = k.confirmed;
        h.f.set_parameter.set_enabled(true);
    }
    const std::int64_t pressed = h.clock.now_ms();
    h.f.set_parameter.press();
    EXPECT_EQ(h.confirm.asked, k.edits.empty() ? 1 : 0);
    if (!k.confirmed) {
        h.clock.advance(20000);
        EXPECT_EQ(h.requests().size(), before);
        return;
    }
    EXPECT_EQ(h.prog.frmState.Abbruch.visible(), k.cancellable);
    // Ending the program now would leave the sensor half-written: it is
    // asked, and keeping on writing harms nothing; once the read-back runs
    // the program ends unasked.
    h.confirm.answer = false;
    EXPECT_FALSE(ui::frm_config_QueryUnload(h.c));
    std::int64_t window_gone = -1;
    const auto sent = [&](std::size_t n) {
        return h.clock.run_until(
            [&] {
                if (!h.prog.frmState.loaded() && window_gone < 0) window_gone = h.clock.now_ms();
                return h.requests().size() >= before + n;
            },
            60000);
    };
    ASSERT_TRUE(sent(k.writes.size() + 1));
    EXPECT_TRUE(ui::frm_config_QueryUnload(h.c));
    EXPECT_EQ(h.confirm.asked, k.edits.empty() ? 2 : 1);
    ASSERT_TRUE(sent(k.writes.size() + kReadBack.size()));
    EXPECT_LT(window_gone, 0);
    ASSERT_TRUE(h.settle());
    auto expected = k.writes;
    expected.insert(expected.end(), kReadBack.begin(), kReadBack.end());
    EXPECT_EQ(h.requests_since(before), expected);
    // Paced by 207 ms block timers: no time limit waited out.
    EXPECT_LT(h.clock.now_ms() - pressed, 4000);
    // Read back: each field shows what the sensor now holds, unmarked.
    for (const auto& [field, value] : k.edits) {
        EXPECT_EQ(app::field_value(h.prog, field), value) << field;
        EXPECT_FALSE(app::field_marked(h.prog, field)) << field;
    }
    EXPECT_FALSE(h.f.set_parameter.enabled());
    EXPECT_EQ(h.msg.shown, k.told ? std::vector<std::string>{k.told} : std::vector<std::string>{});
    const std::string status = h.f.status_line.caption();
    EXPECT_EQ(status.substr(status.rfind('\n') + 1), k.status);
    // Where the second block carried the minimum response time, the block
    // timers now follow it: the largest exchange's 40 bytes at 9600 E
    // (46 ms), 20 ms and a poll.
    if (std::any_of(k.writes.begin(), k.writes.end(), [](const auto& w) { return w.starts_with("01100007"); })) {
        EXPECT_EQ(h.c.g.transfer.reply_delay, 20);
        EXPECT_EQ(h.f.Timer6.interval(), 116);
        EXPECT_FALSE(h.f.reply_delay_changed);
    }
}

INSTANTIATE_TEST_SUITE_P(Marks, WriteParts, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// Whatever ends a write early leaves the values the sensor has not
// confirmed marked, stops every transfer timer and says so; a transfer that
// stops moving with no time-out running is ended by the status window's
// time limit like a give-up.
enum class End { GiveUp, Exception, PortLost, Cancel, Stall };
struct EarlyEnd {
    const char* name;
    End end;
    std::size_t answered;  // write requests the sensor confirms first
    const char* status;    // the status line's word on it, after "Schreiben ..."
};
const EarlyEnd kEarlyEnds[] = {
    {"give-up in the second block", End::GiveUp, 1,
     "nicht beendet – bestätigt: Konfigurationsregister 2 bis 6; "
     "gesendet, nicht bestätigt: Konfigurationsregister 7 bis 10"},
    {"give-up in the external block", End::GiveUp, 3,
     "nicht beendet – bestätigt: Konfigurationsregister 2 bis 10, Konfigurationscoils; "
     "gesendet, nicht bestätigt: externe Werte"},
    {"exception in the first block", End::Exception, 0,
     "nicht beendet – bestätigt: nichts; gesendet, nicht bestätigt: Konfigurationsregister 2 bis 6"},
    {"exception in the LED coils", End::Exception, 4,
     "nicht beendet – bestätigt: Konfigurationsregister 2 bis 10, Konfigurationscoils, externe Werte; "
     "gesendet, nicht bestätigt: LED-Coils"},
    {"port lost in the configuration coils", End::PortLost, 2,
     "nicht beendet – bestätigt: Konfigurationsregister 2 bis 10; gesendet, nicht bestätigt: Konfigurationscoils"},
    {"cancel in the first block", End::Cancel, 0,
     "abgebrochen – bestätigt: nichts; gesendet, nicht bestätigt: Konfigurationsregister 2 bis 6"},
    {"cancel in the second block", End::Cancel, 1,
     "abgebrochen – bestätigt: Konfigurationsregister 2 bis 6; "
     "gesendet, nicht bestätigt: Konfigurationsregister 7 bis 10"},
    {"stalled in the external block", End::Stall, 3,
     "nicht beendet – bestätigt: Konfigurationsregister 2 bis 10, Konfigurationscoils; "
     "gesendet, nicht bestätigt: externe Werte"},
};
void PrintTo(const EarlyEnd& k, std::ostream* os) { *os << k.name; }
class WriteEndedEarly : public ::testing::TestWithParam<EarlyEnd> {};

TEST_P(WriteEndedEarly, KeepsWhatWasNotConfirmedMarked) {
    const EarlyEnd& k = GetParam();
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    // One field of each part, in the order they are written.
    const std::pair<const char*, const char*> edits[] = {{"txt_data_cfg(4)", "900"},
                                                         {"txt_data_cfg(9)", "1,5"},
                                                         {"chk_cfg(2)", "0"},
                                                         {"txt_data_in(1)", "40"},
                                                         {"chk_inp_bit(3)", "1"}};
    for (const auto& [field, value] : edits) ASSERT_EQ(app::enter_value(h.prog, field, value), std::nullopt) << field;
    const std::size_t before = h.sensor.requests().size();
    h.f.set_parameter.press();
    // The sensor takes a request in as it is written; faults of the
    // sensor apply from the next one on, a lost port or a cancel to the
    // one just sent.
    const bool in_flight = k.end == End::PortLost || k.end == End::Cancel;
    const std::size_t received = before + k.answered + (in_flight ? 1 : 0);
    ASSERT_TRUE(h.clock.run_until([&] { return h.sensor.requests().size() == received; }, 20000));
    switch (k.end) {
    case End::GiveUp: h.sensor.faults().silent = true; break;
    case End::Exception: h.sensor.faults().exception_code = 3; break;
    case End::PortLost: h.sim_port.set_vanished(true); break;
    case End::Cancel: h.prog.frmState.Abbruch.press(); break;
    case End::Stall:  // as if input had come that never completes a frame
        h.sensor.faults().silent = true;
        h.f.Timer5.on_tick = nullptr;
        break;
    }
    const std::size_t sent = h.port.sent.size();
    ASSERT_TRUE(h.settle(30000));
    h.clock.advance(20000);
    expect_idle(h);
    if (k.end == End::Cancel) {
        EXPECT_EQ(h.port.sent.size(), sent);  // not even a repeat
        ASSERT_EQ(h.msg.shown.size(), 1u);
        EXPECT_NE(h.msg.shown[0].find("abgebrochen"), std::string::npos);
        EXPECT_FALSE(h.f.warning_line().visible());
    } else {
        EXPECT_TRUE(h.f.warning_line().visible());
        EXPECT_EQ(h.msg.shown.size(), k.end == End::GiveUp || k.end == End::Stall ? 0u : 1u);
    }
    const std::string status = h.f.status_line.caption();
    EXPECT_EQ(status.substr(status.rfind('\n') + 1), std::string("Schreiben ") + k.status);
    // Marked exactly where the sensor did not confirm the write.
    for (std::size_t i = 0; i < std::size(edits); ++i)
        EXPECT_EQ(app::field_marked(h.prog, edits[i].first), k.answered <= i) << edits[i].first;
    // What stays marked can be written again without reading first.
    if (k.end != End::PortLost) {
        EXPECT_TRUE(h.f.set_parameter.enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, WriteEndedEarly, ::testing::ValuesIn(kEarlyEnds),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// A sensor may hold values the window would not let a user enter: they are
// shown as they are, said to lie outside the range, never corrected unasked,
// and a write of another field carries each of them back bit for bit.
TEST(Write, EveryRegisterTheUserDidNotChangeGoesBackBitForBit) {
    SimHarness h;
    const std::uint16_t held[] = {0x1234, 0x0069, 300, 40000, 3500, 0xFFFF, 100, 3, 0xFFEC, 200, 0xFC18};
    for (int i = 0; i <= 10; ++i) h.sensor.set_holding(i, held[i]);
    ASSERT_TRUE(h.read_device(60000));
    // The block timers follow register 6 (1557 ms at 9600), the reply wait
    // the minimum response time as held, though below the 5 a field takes.
    EXPECT_EQ(h.f.Timer6.interval(), 1557);
    EXPECT_EQ(h.prog.frmState.Timer1SW.interval(), 15859);  // 15 x (57.29 + 1000)
    EXPECT_EQ(h.c.g.transfer.min_response_ms, 3);
    EXPECT_TRUE(h.f.reply_delay_changed);
    EXPECT_EQ(h.f.txt_data_cfg(7).tool_tip(),
              "5 … 3000 ms, Schritt 1\n"
              "Das Gerät hält 3, außerhalb des Bereichs 5 bis 3000, den dieses Feld annimmt. Der Wert bleibt, bis Sie "
              "ihn ändern.");
    const char* shown[] = {"4660", "105", "300", "40000", "3500", "-1", "100", "3", "-2", "20", "-1000"};
    const bool outside[] = {false, false, true, false, true, true, false, true, false, true, true};
    for (int i = 0; i <= 10; ++i) {
        auto& field = h.f.txt_data_cfg(i);
        field.lose_focus();  // passing through a field changes nothing
        EXPECT_EQ(field.text(), shown[i]) << i;
        EXPECT_EQ(field.fore_color(), outside[i] ? form::kOutsideRange : form::kNormalText) << i;
        EXPECT_EQ(field.tool_tip().find("außerhalb") != std::string::npos, outside[i]) << i;
    }
    EXPECT_FALSE(h.f.set_parameter.enabled());
    const std::size_t before = h.requests().size();
    h.f.txt_data_cfg(8).set_text("-1,5");
    h.f.txt_data_cfg(7).set_text("2");  // typed, the field not left: written as at least 5
    h.f.set_parameter.press();
    ASSERT_TRUE(h.settle(120000));
    const auto sent = h.requests_since(before);
    ASSERT_GE(sent.size(), 2u);
    // clang-format off
    EXPECT_EQ(sent[0], "0110000200050A" "012C" "9C40" "0DAC" "FFFF" "0064");
    EXPECT_EQ(sent[1], "01100007000408" "0005" "FFF1" "00C8" "FC18");
    // clang-format on
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(h.sensor.holding(i), i == 8 ? 0xFFF1 : i == 7 ? 5 : held[i]) << i;
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), "5");
    EXPECT_TRUE(h.msg.shown.empty());
}

}  // namespace
}  // namespace vor3::test
