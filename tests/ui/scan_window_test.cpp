// The scan window: it finds a sensor at settings nobody told the window
// about, hands them over, and stops when asked or closed.
#include "ui_fixture.h"

namespace vor3::test {
namespace {

TEST(ScanWindow, StopsOnRequestFindsTheSensorAndHandsItsSettingsToTheWindow) {
    InstalledProgram p(on_sensor());
    open_port(p);  // the scan takes the open port over
    p.sensor.set_framing(sim::Framing::Ascii);
    p.sensor.set_address(37);
    p.sim_port.set_sensor_line(form::SerialSettings{19200, 'O', 7, 1});
    auto& s = p.prog.frmScan;
    p.f.AnsichtMenue(1).press();
    ASSERT_TRUE(s.visible());
    // A running read-out ends only once the user agrees.
    p.f.chk_read_out.set_value(1);
    s.cmd_scan.press();
    EXPECT_EQ(p.confirm.asked, 1);
    EXPECT_FALSE(p.prog.scan_window.scanner().running());
    EXPECT_EQ(p.f.chk_read_out.value(), 1);
    p.confirm.answer = true;
    s.cmd_scan.press();
    EXPECT_EQ(p.confirm.asked, 2);
    EXPECT_FALSE(p.f.enabled() || s.cmd_scan.enabled());
    EXPECT_EQ(p.f.Combo_Port(6).list_index(), 0);  // the window gave the port up
    // The time left shows while the scan runs.
    p.clock.advance(3000);
    EXPECT_EQ(s.lbl_left.caption().rfind("Noch etwa ", 0), 0u) << s.lbl_left.caption();
    // Stopped before anything answered: the window is free again and says so.
    s.cmd_stop.press();
    EXPECT_TRUE(p.f.enabled() && s.cmd_scan.enabled());
    EXPECT_EQ(s.lbl_found.caption(), "Kein Sensor gefunden.");
    EXPECT_EQ(s.lbl_left.caption(), "");
    s.cmd_scan.press();
    ASSERT_TRUE(p.clock.run_until([&] { return !p.prog.scan_window.scanner().running(); }, 600000));
    EXPECT_TRUE(p.f.enabled());
    ASSERT_EQ(s.lst_found.items(), (std::vector<std::string>{"ASCII, 19200 Baud, Odd, Adresse 37"}));
    EXPECT_EQ(s.lbl_found.caption(), "Gefunden: 1");

    s.cmd_take.press();
    EXPECT_EQ(p.f.Combo_Port(5).text() + " " + p.f.Combo_Port(1).text() + " " + p.f.Combo_Port(2).text() + " " +
                  p.f.txt_Modbus_adress.text(),
              "ASCII 19200 Odd 37");
    // The port opens with those settings and the sensor is read.
    EXPECT_EQ(p.f.Combo_Port(6).list_index(), 1);
    ASSERT_TRUE(settle(p));
    EXPECT_EQ(p.f.txt_data_cfg(0).text(), "4660");
}

}  // namespace
}  // namespace vor3::test
