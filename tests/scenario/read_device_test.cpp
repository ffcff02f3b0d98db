#include <gtest/gtest.h>

#include "support/harness.h"

namespace vor3::test {
namespace {

const std::vector<std::string> kReadChain = {"010300060001", "010300000008", "010300080003", "010301000003",
                                             "010100000008", "010302000003", "010101000005"};

void load_sensor(sim::SimulatedSensor& s) {
    const std::uint16_t cfg[] = {4660, 105, 7, 40000, 800, 1200, 10, 20, 0xFFFB, 25, 0xFF38};
    for (int i = 0; i < 11; ++i) s.set_holding(i, cfg[i]);
    s.set_holding(0x100, 0xFFFB);  // measured tenths keep their decimal, also just below zero
    s.set_holding(0x101, 515);
    s.set_holding(0x102, 0xFFFF);
    s.set_holding(0x200, 0xFFF6);
    s.set_holding(0x201, 400);
    s.set_holding(0x202, 0x8000);
    for (int i = 0; i < 8; ++i) s.set_coil(i, (0x0D >> i) & 1);
    for (int i = 0; i < 5; ++i) s.set_coil(0x100 + i, (0x16 >> i) & 1);
}

class ReadDevice : public ::testing::TestWithParam<const char*> {};

TEST_P(ReadDevice, FillsEveryFieldInTheChainOrder) {
    SimHarness h(GetParam());
    load_sensor(h.sensor);
    auto& f = h.f;
    auto& g = h.c.g;
    f.txt_data_cfg(4).set_text("999");  // an edit the read replaces
    ASSERT_EQ(f.txt_data_cfg(4).fore_color(), form::kChangeMark);

    f.cmd_read_device.press();
    EXPECT_TRUE(h.prog.frmState.loaded());  // from the first request on
    EXPECT_FALSE(f.enabled());              // the main window waits behind the status window
    ASSERT_TRUE(h.clock.run_until([&] { return h.c.g.transfer.request_kind == model::kReadRegisterBlock; }, 3000));
    EXPECT_EQ(f.Timer6.interval(), 207);  // 57 ms line budget at 9600 + 10 x 15 ms
    ASSERT_TRUE(h.read_device(20000));
    EXPECT_TRUE(f.enabled());

    EXPECT_EQ(h.requests(), kReadChain);
    EXPECT_EQ(h.sensor.requests(), kReadChain);
    const char* cfg_text[] = {"4660", "105", "7", "40000", "800", "1200", "10", "20", "-0,5", "2,5", "-200"};
    const double cfg_num[] = {4660, 105, 7, 40000, 800, 1200, 10, 20, -0.5, 2.5, -200};
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(f.txt_data_cfg(i).text(), cfg_text[i]) << i;
        EXPECT_DOUBLE_EQ(g.image.cfg_value[static_cast<std::size_t>(i)], cfg_num[i]) << i;
        EXPECT_EQ(f.txt_data_cfg(i).fore_color(), form::kNormalText) << i;
    }
    EXPECT_EQ(f.lbl_cfg_val(0).caption(), "4660");
    EXPECT_EQ(f.lbl_cfg_val(1).caption(), "105");
    EXPECT_EQ(f.txt_data_out(0).text(), "-0,5");
    EXPECT_EQ(f.txt_data_out(1).text(), "51,5");
    EXPECT_EQ(f.txt_data_out(2).text(), "65535");
    EXPECT_EQ(f.txt_data_in(0).text(), "-1");
    EXPECT_EQ(f.txt_data_in(1).text(), "40");
    EXPECT_EQ(f.txt_data_in(2).text(), "-32768");
    EXPECT_DOUBLE_EQ(g.image.in_value[0], -1);
    EXPECT_DOUBLE_EQ(g.image.in_value[2], -32768);
    const int cfg_bits[] = {1, 0, 1, 1, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f.chk_cfg(i).value(), cfg_bits[i]) << i;
        EXPECT_EQ(g.image.cfg_bit[static_cast<std::size_t>(i)], cfg_bits[i]) << i;
        EXPECT_EQ(f.chk_cfg(i).fore_color(), form::kNormalText) << i;
    }
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), 1);  // "1 - °C"
    EXPECT_EQ(f.lbl_unit(0).caption(), "°C");
    const int led_bits[] = {0, 1, 1, 0, 1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.chk_inp_bit(i).value(), led_bits[i]) << i;
        EXPECT_EQ(g.image.inp_bit[static_cast<std::size_t>(i)], led_bits[i]) << i;
        EXPECT_EQ(f.chk_inp_bit(i).fore_color(), form::kNormalText) << i;
    }
    EXPECT_EQ(g.transfer.reply_delay, 10);
    EXPECT_TRUE(g.transfer.bus_ready);
    EXPECT_FALSE(f.set_parameter.enabled());
    EXPECT_FALSE(f.warning_line().visible());
    EXPECT_TRUE(h.msg.shown.empty());
    EXPECT_FALSE(f.Timer6.enabled());
    EXPECT_FALSE(f.Timer5.enabled());
    EXPECT_FALSE(f.Timer3.enabled());
}

INSTANTIATE_TEST_SUITE_P(BothFramings, ReadDevice, ::testing::Values("RTU", "ASCII"),
                         [](const auto& info) { return std::string(info.param); });

TEST(ReadDevice, ASmallMinimumResponseTimeShowsAsRead) {
    SimHarness h;
    h.sensor.set_holding(7, 3);
    h.sensor.set_holding(6, 100);  // the block timers follow register 6: 1557 ms at 9600
    h.f.cmd_read_device.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.c.g.transfer.request_kind == model::kReadRegisterBlock; }, 3000));
    EXPECT_EQ(h.f.Timer6.interval(), 1557);
    EXPECT_EQ(h.prog.frmState.Timer1SW.interval(), 15859);  // 15 x (57.29 + 1000)
    ASSERT_TRUE(h.read_device(20000));
    // The window shows what the sensor holds, unmarked but said to lie
    // outside the range; the bound of 5 applies only to a value entered.
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), "3");
    EXPECT_EQ(h.f.txt_data_cfg(7).fore_color(), form::kOutsideRange);
    EXPECT_EQ(h.f.txt_data_cfg(7).tool_tip(),
              "Das Gerät hält 3, außerhalb des Bereichs 5 bis 3000, den dieses Feld annimmt. Der Wert bleibt, bis Sie "
              "ihn ändern.");
    EXPECT_FALSE(h.f.set_parameter.enabled());
    EXPECT_DOUBLE_EQ(h.c.g.image.cfg_value[7], 3);
    EXPECT_EQ(h.c.g.transfer.min_response_ms, 3);
    EXPECT_EQ(h.c.g.transfer.reply_delay, 100);
    EXPECT_TRUE(h.f.reply_delay_changed);
}

}  // namespace
}  // namespace vor3::test
