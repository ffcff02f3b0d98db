#include <gtest/gtest.h>

#include "app/field_entry.h"
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
// ticked, else skipped by the reader; the traffic shows it either way), one
// that does not though the box is ticked (the reply begins like the
// request and must come through whole), or a Modbus TCP gateway that wraps
// the frames framed as on the line.
struct Carrier {
    const char* name;
    const char* mode;
    bool gateway = false;
    bool echo = false;
    bool ticked = false;  // the echo box
};
void PrintTo(const Carrier& k, std::ostream* os) { *os << k.name; }
class ReadDevice : public ::testing::TestWithParam<Carrier> {};

TEST_P(ReadDevice, FillsEveryFieldInTheChainOrderThenWritesAndPolls) {
    const Carrier& k = GetParam();
    SimHarness h(k.mode);
    if (k.gateway) h.sim_port.set_carrier(form::Carrier::ModbusTcp, 2);
    h.sensor.faults().echo = k.echo;
    if (k.echo || k.ticked) {
        h.f.chk_echo.set_value(k.ticked);
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
    // Every field in the register map's order (configuration coils, then
    // LED coils, last), each unmarked.
    std::string shown;
    for (const auto& e : model::field_map()) {
        const std::string name = std::string(model::array_name(e.array)) + "(" + std::to_string(e.index) + ")";
        shown += app::field_value(h.prog, name).value_or("?") + " ";
        EXPECT_FALSE(app::field_marked(h.prog, name)) << name;
    }
    EXPECT_EQ(shown,
              "4660 105 7 40000 800 1200 10 20 -0,5 2,5 -200 -0,5 51,5 65535 -1 40 -32768 "
              "1 0 1 1 0 0 0 0 0 1 1 0 1 ");
    EXPECT_EQ(
        (std::vector<std::string>{f.lbl_cfg_val(0).caption(), f.lbl_cfg_val(1).caption(), f.lbl_unit(0).caption()}),
        (std::vector<std::string>{"4660", "105", "°C"}));
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), 1);  // "1 - °C"
    EXPECT_EQ(f.cmb_bit_cfg(3).fore_color(), form::kNormalText);
    EXPECT_FALSE(f.set_parameter.enabled());
    EXPECT_FALSE(f.warning_line().visible());

    // An edit in each part: a configuration register and coil, the external
    // values and an LED coil; the sensor holds them, the window no longer
    // marks them. (Read back, 40.0 °C, 7.6 %rH and 200 ppm hold a frame
    // with a right CRC, 01 90 00 4C 00, inside the answer's data.)
    f.txt_data_cfg(4).set_text("900");
    f.txt_data_in(0).set_text("40");
    f.txt_data_in(1).set_text("7,6");
    f.txt_data_in(2).set_text("200");
    f.SSTab1.set_tab(1);
    f.chk_cfg(1).set_value(0);
    f.chk_inp_bit(2).set_value(1);
    f.set_parameter.press();
    ASSERT_TRUE(h.settle());
    EXPECT_EQ((std::vector<int>{h.sensor.holding(4), h.sensor.holding(0x200), h.sensor.coil(1), h.sensor.coil(0x102)}),
              (std::vector<int>{900, 400, 0, 1}));
    for (const char* name : {"txt_data_cfg(4)", "txt_data_in(0)", "txt_data_in(1)", "chk_cfg(1)", "chk_inp_bit(2)"})
        EXPECT_FALSE(app::field_marked(h.prog, name)) << name;
    h.sensor.set_holding(0x100, 215);
    f.chk_read_out.set_value(1);
    h.clock.advance(3 * f.Timer6.interval());
    EXPECT_EQ(f.txt_data_out(0).text(), "21,5");
    f.chk_read_out.set_value(0);
    h.clock.advance(1000);
    EXPECT_TRUE(h.msg.shown.empty());
    std::size_t echoes = 0;
    for (const auto& e : h.prog.traffic.entries()) echoes += e.kind == link::TrafficEntry::Kind::Echo;
    EXPECT_EQ(echoes, k.echo ? h.port.sent.size() : 0);  // every request heard back
}

INSTANTIATE_TEST_SUITE_P(Carriers, ReadDevice,
                         ::testing::Values(Carrier{"RTU", "RTU"}, Carrier{"ASCII", "ASCII"},
                                           Carrier{"RTU_echo_dropped", "RTU", false, true, true},
                                           Carrier{"ASCII_echo_skipped", "ASCII", false, true},
                                           Carrier{"RTU_ticked_without_echo", "RTU", false, false, true},
                                           Carrier{"RTU_gateway", "RTU", true},
                                           Carrier{"ASCII_gateway", "ASCII", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vor3::test
