#include <gtest/gtest.h>

#include "support/expect.h"
#include "support/harness.h"
#include "ui/spin_buttons.h"
#include "ui/status_window.h"

namespace vor3::test {
namespace {

const std::string kMeasured = "010301000003";

// Locked: the number fields read-only but not greyed, the arrows, boxes
// and the unit list disabled; free: all of them to be changed.
std::string editing(form::FrmConfig& f) {
    int fields = 0, greyed = 0, others = 0;
    const auto field = [&](const form::TextBox& t) {
        fields += t.read_only();
        greyed += !t.enabled();
    };
    for (int i = 0; i <= 10; ++i) field(f.txt_data_cfg(i));
    for (int i = 0; i <= 2; ++i) field(f.txt_data_in(i));
    for (auto& [i, spin] : f.UpD_txt_cfg) others += !spin.enabled();
    others += !f.cmb_bit_cfg(3).enabled() + !f.chk_cfg(0).enabled() + !f.chk_inp_bit(0).enabled();
    if (fields == 14 && greyed == 0 && others == 11) return "locked";
    if (fields == 0 && greyed == 0 && others == 0) return "free";
    return std::to_string(fields) + " read-only, " + std::to_string(greyed) + " greyed, " + std::to_string(others);
}

// The read-out polls the measured values at each tick and locks editing.
// A silent sensor does not lock the window: the read-out polls on, the
// warning shows while no reply comes and goes with the next one. Clearing
// the box always unlocks the window; a refusal ends the read-out.
class ReadOut : public ::testing::TestWithParam<const char*> {};

TEST_P(ReadOut, PollsAtEachTickThroughSilenceAndStopsWhenClearedOrRefused) {
    SimHarness h(GetParam());
    ASSERT_TRUE(h.read_device());
    const std::size_t before = h.requests().size();
    const std::int64_t period = h.f.Timer6.interval();
    h.sensor.set_holding(0x100, 215);
    EXPECT_EQ(editing(h.f), "free");
    h.f.chk_read_out.set_value(1);
    EXPECT_EQ(editing(h.f), "locked");
    // Neither keys, the wheel nor the arrows change a locked field.
    h.f.txt_data_cfg(4).type_key('1');
    h.f.txt_data_cfg(4).key_down(form::kKeyUp);
    h.f.txt_data_cfg(4).wheel(1);
    ui::step_field(h.c, 4, true);
    h.f.UpD_txt_cfg(10).on_mouse_down(10, 5, 2);
    h.clock.advance(10 * period + period / 2);
    EXPECT_EQ(h.f.txt_data_cfg(4).text(), "800");
    EXPECT_EQ(h.f.txt_data_cfg(10).text(), "0");
    EXPECT_EQ(h.requests_since(before), std::vector<std::string>(10, kMeasured));
    for (std::size_t i = 1; i < 10; ++i) EXPECT_EQ(h.port.sent[before + i].at - h.port.sent[before + i - 1].at, period);
    EXPECT_EQ(h.f.txt_data_out(0).text(), "21,5");

    h.sensor.faults().silent = true;
    ASSERT_TRUE(h.clock.run_until([&] { return h.f.warning_line().visible(); }, 10000));
    EXPECT_EQ(h.f.chk_read_out.value(), 1);
    EXPECT_TRUE(h.f.chk_read_out.enabled());
    const std::size_t at_give_up = h.requests().size();
    h.clock.advance(5000);
    EXPECT_GT(h.requests().size(), at_give_up);  // still polling
    for (const auto& r : h.requests_since(at_give_up)) EXPECT_EQ(r, kMeasured);
    EXPECT_TRUE(h.f.warning_line().visible());
    h.sensor.set_holding(0x102, 777);
    h.sensor.faults().silent = false;
    ASSERT_TRUE(h.clock.run_until([&] { return !h.f.warning_line().visible(); }, 10000));
    EXPECT_EQ(h.f.txt_data_out(2).text(), "777");
    EXPECT_EQ(editing(h.f), "locked");

    // A tick has sent, the reply is on its way: clearing the box decodes
    // it and sends nothing more.
    h.sensor.set_holding(0x100, 199);
    const std::size_t sent = h.requests().size();
    ASSERT_TRUE(h.clock.run_until([&] { return h.requests().size() > sent; }, 5000));
    h.f.chk_read_out.set_value(0);
    EXPECT_EQ(editing(h.f), "free");
    h.clock.advance(20 * period);
    EXPECT_EQ(h.requests().size(), sent + 1);
    EXPECT_EQ(h.f.txt_data_out(0).text(), "19,9");
    EXPECT_FALSE(h.f.Timer6.enabled());

    h.f.chk_read_out.set_value(1);
    h.sensor.faults().silent = true;
    ASSERT_TRUE(h.clock.run_until([&] { return h.f.warning_line().visible(); }, 10000));
    h.f.chk_read_out.set_value(0);
    EXPECT_EQ(editing(h.f), "free");
    EXPECT_TRUE(h.f.cmd_read_device.enabled());
    EXPECT_TRUE(h.f.read_out_parameter.enabled());
    h.clock.advance(10000);
    expect_idle(h);

    h.sensor.faults().silent = false;
    h.sensor.faults().exception_code = 4;
    h.f.chk_read_out.set_value(1);
    h.clock.advance(10000);
    EXPECT_EQ(h.msg.shown.size(), 1u);
    EXPECT_EQ(h.f.chk_read_out.value(), 0);
    EXPECT_EQ(editing(h.f), "free");
    EXPECT_FALSE(h.f.Timer6.enabled());
}

INSTANTIATE_TEST_SUITE_P(BothFramings, ReadOut, ::testing::Values("RTU", "ASCII"),
                         [](const auto& info) { return std::string(info.param); });

// Closing and opening the port changes no value and marks none. A held
// arrow whose release is lost (a window opened over it) must not keep
// stepping.
TEST(Port, ReopeningKeepsTheTemperatureUnitAndAHeldArrowStopsUnderARead) {
    for (const bool celsius : {true, false}) {
        SimHarness h;
        EXPECT_EQ(h.f.cmb_bit_cfg(3).list_index(), 0);  // before any read: the hidden coil's start value
        h.sensor.set_coil(3, celsius);
        ASSERT_TRUE(h.read_device());
        EXPECT_EQ(h.f.cmb_bit_cfg(3).list_index(), celsius ? 1 : 0);
        for (int i = 0; i < 2; ++i) {
            h.f.Combo_Port(6).set_list_index(0);
            h.f.Combo_Port(6).set_list_index(1);
        }
        EXPECT_EQ(h.f.cmb_bit_cfg(3).list_index() + h.f.chk_cfg(3).value(), celsius ? 2 : 0);
        EXPECT_EQ(h.f.cmb_bit_cfg(3).fore_color(), form::kNormalText);
        EXPECT_FALSE(h.f.set_parameter.enabled());

        h.f.UpD_txt_cfg(4).on_mouse_down(4, 5, 2);
        h.clock.advance(400);
        EXPECT_EQ(h.f.txt_data_cfg(4).text(), "802");
        h.f.cmd_read_device.press();  // the read's status window opens over it
        ASSERT_TRUE(h.read_device());
        EXPECT_FALSE(h.f.Timer.enabled());
        h.clock.advance(2000);
        EXPECT_EQ(h.f.txt_data_cfg(4).text(), "800");  // read again, not stepped since
    }
}

}  // namespace
}  // namespace vor3::test
