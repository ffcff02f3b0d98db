#include <gtest/gtest.h>

#include "link/traffic.h"
#include "support/expect.h"
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

// The same read, write and read-out whatever carries the frames: a plain
// line, an adapter that hears itself (its echo dropped by the filter when
// ticked, else skipped by the reader; the traffic shows it either way), or
// a Modbus TCP gateway that wraps the frames framed as on the line.
struct Carrier {
    const char* name;
    const char* mode;
    bool gateway;
    int echo;  // -1: none; else whether the echo box is ticked
};
void PrintTo(const Carrier& k, std::ostream* os) { *os << k.name; }
class ReadDevice : public ::testing::TestWithParam<Carrier> {};

TEST_P(ReadDevice, FillsEveryFieldInTheChainOrderThenWritesAndPolls) {
    const Carrier& k = GetParam();
    SimHarness h(k.mode);
    if (k.gateway) h.sim_port.set_carrier(form::Carrier::ModbusTcp, 2);
    if (k.echo >= 0) {
        h.sensor.faults().echo = true;
        h.f.chk_echo.set_value(k.echo);
        h.msg.shown.clear();  // this harness keeps no settings, and says so
    }
    load_sensor(h.sensor);
    auto& f = h.f;
    f.txt_data_cfg(4).set_text("999");  // an edit the read replaces
    f.cmd_read_device.press();
    EXPECT_TRUE(h.prog.frmState.loaded());  // from the first request on
    EXPECT_FALSE(f.enabled());              // the main window waits behind the status window
    ASSERT_TRUE(h.clock.run_until([&] { return h.c.g.transfer.request_kind == model::kReadRegisterBlock; }, 3000));
    EXPECT_EQ(f.Timer6.interval(), 207);  // 57 ms line budget at 9600 + 10 x 15 ms
    ASSERT_TRUE(h.read_device(20000));
    expect_idle(h);

    EXPECT_EQ(h.sensor.requests(), kReadChain);
    std::vector<std::string> shown;
    std::string bits;
    std::vector<const form::Control*> unmarked = {&f.cmb_bit_cfg(3)};
    for (int i = 0; i <= 10; ++i) {
        shown.push_back(f.txt_data_cfg(i).text());
        unmarked.push_back(&f.txt_data_cfg(i));
    }
    for (int i = 0; i <= 2; ++i) shown.push_back(f.txt_data_out(i).text());
    for (int i = 0; i <= 2; ++i) shown.push_back(f.txt_data_in(i).text());
    for (form::CheckBox* box : {&f.chk_cfg(0), &f.chk_cfg(1), &f.chk_cfg(2), &f.chk_cfg(3), &f.chk_cfg(4),
                                &f.chk_cfg(5), &f.chk_cfg(6), &f.chk_cfg(7), &f.chk_inp_bit(0), &f.chk_inp_bit(1),
                                &f.chk_inp_bit(2), &f.chk_inp_bit(3), &f.chk_inp_bit(4)}) {
        bits += static_cast<char>('0' + box->value());
        unmarked.push_back(box);
    }
    shown.insert(shown.end(), {f.lbl_cfg_val(0).caption(), f.lbl_cfg_val(1).caption(), f.lbl_unit(0).caption()});
    EXPECT_EQ(shown, (std::vector<std::string>{"4660", "105",  "7",      "40000", "800",  "1200", "10",
                                               "20",   "-0,5", "2,5",    "-200",  "-0,5", "51,5", "65535",
                                               "-1",   "40",   "-32768", "4660",  "105",  "°C"}));
    EXPECT_EQ(bits, "1011000001101");             // configuration coils, then LED coils
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), 1);  // "1 - °C"
    for (std::size_t i = 0; i < unmarked.size(); ++i) EXPECT_EQ(unmarked[i]->fore_color(), form::kNormalText) << i;
    EXPECT_DOUBLE_EQ(h.c.g.image.in_value[2], -32768);
    EXPECT_EQ(h.c.g.transfer.reply_delay, 10);
    EXPECT_FALSE(f.set_parameter.enabled());
    EXPECT_FALSE(f.warning_line().visible());

    h.edit_both_parts();
    f.set_parameter.press();
    ASSERT_TRUE(h.settle());
    EXPECT_TRUE(h.both_parts_written());
    h.sensor.set_holding(0x100, 215);
    f.chk_read_out.set_value(1);
    h.clock.advance(3 * f.Timer6.interval());
    EXPECT_EQ(f.txt_data_out(0).text(), "21,5");
    f.chk_read_out.set_value(0);
    h.clock.advance(1000);
    EXPECT_TRUE(h.msg.shown.empty());
    std::size_t echoes = 0;
    for (const auto& e : h.prog.traffic.entries()) echoes += e.kind == link::TrafficEntry::Kind::Echo;
    EXPECT_EQ(echoes, k.echo >= 0 ? h.port.sent.size() : 0);  // every request heard back
}

INSTANTIATE_TEST_SUITE_P(Carriers, ReadDevice,
                         ::testing::Values(Carrier{"RTU", "RTU", false, -1}, Carrier{"ASCII", "ASCII", false, -1},
                                           Carrier{"RTU_echo_dropped", "RTU", false, 1},
                                           Carrier{"ASCII_echo_skipped", "ASCII", false, 0},
                                           Carrier{"RTU_gateway", "RTU", true, -1},
                                           Carrier{"ASCII_gateway", "ASCII", true, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

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
    EXPECT_EQ(h.c.g.transfer.min_response_ms, 3);
    EXPECT_EQ(h.c.g.transfer.reply_delay, 100);
    EXPECT_TRUE(h.f.reply_delay_changed);
}

}  // namespace
}  // namespace vor3::test
