#include <gtest/gtest.h>

#include "support/harness.h"

namespace vor3::test {
namespace {

// The simulated sensor moved to settings nobody told the window about.
void hide_sensor(SimHarness& h) {
    h.sensor.set_framing(sim::Framing::Ascii);
    h.sensor.set_address(37);
    h.sim_port.set_sensor_line(link::SerialSettings{19200, 'O', 7, 1});
}

TEST(ScanWindow, FindsTheSensorAndHandsItsSettingsToTheWindow) {
    SimHarness h;  // the port is open: the scan takes it over
    hide_sensor(h);
    auto& s = h.prog.frmScan;
    ASSERT_TRUE(h.f.MenueMain(4).visible());
    ASSERT_TRUE(h.f.AnsichtMenue(1).visible());
    h.f.AnsichtMenue(1).press();
    ASSERT_TRUE(s.visible());
    EXPECT_EQ(s.lbl_port.caption(), "Port: Simulated sensor");
    // Every framing, baud rate and parity: the sensor hears only its own.
    ASSERT_EQ(s.chk_first.value(), 0);
    // A running read-out ends only once the user agrees.
    h.f.chk_read_out.set_value(1);
    s.cmd_scan.press();
    EXPECT_EQ(h.confirm.asked, 1);
    EXPECT_FALSE(h.prog.scan_window.scanner().running());
    EXPECT_EQ(h.f.chk_read_out.value(), 1);
    EXPECT_EQ(h.f.Combo_Port(6).list_index(), 1);
    h.confirm.answer = true;
    s.cmd_scan.press();
    EXPECT_EQ(h.confirm.asked, 2);
    EXPECT_FALSE(h.f.enabled());
    EXPECT_EQ(h.f.Combo_Port(6).list_index(), 0);  // the link gave the port up
    EXPECT_FALSE(s.cmd_scan.enabled());
    ASSERT_TRUE(h.clock.run_until([&] { return !h.prog.scan_window.scanner().running(); }, 600000));
    EXPECT_TRUE(h.f.enabled());
    ASSERT_EQ(s.lst_found.items(), (std::vector<std::string>{"ASCII, 19200 Baud, Odd, Adresse 37"}));
    EXPECT_EQ(s.lbl_found.caption(), "Gefunden: 1");
    EXPECT_EQ(s.prg_scan.value(), h.prog.scan_window.scanner().tried());
    ASSERT_TRUE(s.cmd_take.enabled());

    s.cmd_take.press();
    EXPECT_FALSE(s.visible());
    EXPECT_EQ(h.f.Combo_Port(5).text(), "ASCII");
    EXPECT_EQ(h.f.Combo_Port(1).text(), "19200");
    EXPECT_EQ(h.f.Combo_Port(2).text(), "Odd");
    EXPECT_EQ(h.f.txt_Modbus_adress.text(), "37");
    // The port opens with those settings and the sensor is read.
    EXPECT_EQ(h.f.Combo_Port(6).list_index(), 1);
    ASSERT_TRUE(h.settle());
    EXPECT_FALSE(h.f.lbl_desc(16).visible());
    EXPECT_EQ(h.f.txt_data_cfg(0).text(), "4660");
}

TEST(ScanWindow, StopsOnRequestAndSaysWhenNothingAnswers) {
    SimHarness h;
    h.sensor.faults().silent = true;
    auto& s = h.prog.frmScan;
    h.f.AnsichtMenue(1).press();
    for (int i : {1, 2, 3}) s.chk_baud(i).set_value(0);  // 57600 only
    s.cmd_scan.press();
    h.clock.advance(3000);
    s.cmd_stop.press();
    EXPECT_FALSE(h.prog.scan_window.scanner().running());
    EXPECT_TRUE(h.f.enabled());
    EXPECT_TRUE(s.cmd_scan.enabled());
    EXPECT_EQ(s.lbl_found.caption(), "Kein Sensor gefunden.");
    const auto sent = h.port.sent.size();
    h.clock.advance(60000);
    EXPECT_EQ(h.port.sent.size(), sent);

    // Closing the window stops a scan too.
    s.cmd_scan.press();
    h.clock.advance(500);
    h.prog.scan_window.unload();
    EXPECT_FALSE(h.prog.scan_window.scanner().running());
    EXPECT_FALSE(s.visible());
}

}  // namespace
}  // namespace vor3::test
