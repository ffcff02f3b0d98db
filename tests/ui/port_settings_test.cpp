#include <gtest/gtest.h>

#include <functional>

#include "support/fake_platform.h"
#include "support/fake_program.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

using Started = FakeProgram;

TEST(StartUp, WindowOpensWithCom1_9600_Even_RtuAndThePortClosed) {
    Started s;
    auto& f = s.f;
    EXPECT_EQ(f.Combo_Port(0).text(), "COM1");
    EXPECT_EQ(f.Combo_Port(1).text(), "9600");
    EXPECT_EQ(f.Combo_Port(2).text(), "Even");
    EXPECT_EQ(f.Combo_Port(5).text(), "RTU");
    EXPECT_EQ(f.Combo_Port(6).text(), "close");
    EXPECT_EQ(s.g.link.com_port, 1);
    EXPECT_EQ(s.g.link.protocol_mode, "RTU");
    EXPECT_EQ(s.g.link.settings_string(), "9600,E,8,1");
    EXPECT_EQ(s.port.settings, "9600,E,8,1");
    EXPECT_EQ(s.port.number, 1);
    EXPECT_FALSE(s.port.open);
    EXPECT_FALSE(s.g.link.port_open);
    for (int i : {0, 1, 2, 5, 6}) EXPECT_TRUE(f.Combo_Port(i).enabled()) << i;
    EXPECT_FALSE(f.cmd_read_device.enabled());
    EXPECT_FALSE(f.set_parameter.enabled());
    EXPECT_FALSE(f.read_out_parameter.enabled());
    EXPECT_FALSE(f.chk_read_out.enabled());
    EXPECT_EQ(f.chk_read_out.value(), 0);
    EXPECT_EQ(f.SSTab1.tab(), 0);
    EXPECT_EQ(f.txt_Modbus_adress.text(), "1");
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), -1);
    EXPECT_EQ(f.Timer4.interval(), 50);
    EXPECT_EQ(f.Timer3.interval(), 500);
    for (form::Timer* t : {&f.Timer, &f.Timer1, &f.Timer3, &f.Timer4, &f.Timer5, &f.Timer6})
        EXPECT_FALSE(t->enabled()) << t->name();
    // hidden controls hold values but are not shown
    for (int i : {0, 1, 2}) EXPECT_FALSE(f.txt_data_cfg(i).visible()) << i;
    for (int i : {3, 4, 5}) EXPECT_FALSE(f.txt_data_in(i).visible()) << i;
    EXPECT_FALSE(f.lbl_cfg(2).visible());
    EXPECT_FALSE(f.chk_cfg(3).visible());
    EXPECT_FALSE(f.chk_cfg(7).visible());
    EXPECT_FALSE(f.lbl_read_cfg_bit(7).visible());
    EXPECT_FALSE(f.chk_inp_bit(4).visible());
    EXPECT_FALSE(f.lbl_read_bit(4).visible());
    EXPECT_FALSE(f.lbl_desc(16).visible());
    EXPECT_TRUE(f.lbl_cfg(3).visible());
    EXPECT_TRUE(s.msg.shown.empty());
}

TEST(PortSettings, SettingsStringFollowsEveryModeAndParity) {
    struct Case { int baud, parity, mode; const char* settings; int input_mode, poll, give_up; } cases[] = {
        {0, 0, 1, "9600,N,8,1", 1, 50, 500},   {1, 0, 1, "19200,N,8,1", 1, 50, 500},
        {2, 1, 0, "38400,E,7,1", 0, 100, 1000}, {3, 2, 0, "57600,O,7,1", 0, 100, 1000},
        {0, 2, 1, "9600,O,8,1", 1, 50, 500},   {0, 1, 0, "9600,E,7,1", 0, 100, 1000}};
    for (const auto& k : cases) {
        Started s;
        s.f.Combo_Port(1).set_list_index(k.baud);
        s.f.Combo_Port(2).set_list_index(k.parity);
        s.f.Combo_Port(5).set_list_index(k.mode);
        EXPECT_EQ(s.port.settings, k.settings);
        EXPECT_EQ(s.g.link.settings_string(), k.settings);
        EXPECT_EQ(s.g.link.protocol_mode, k.mode == 0 ? "ASCII" : "RTU");
        EXPECT_EQ(s.port.input_mode, k.input_mode) << k.settings;
        EXPECT_EQ(s.f.Timer4.interval(), k.poll);
        EXPECT_EQ(s.f.Timer3.interval(), k.give_up);
    }
}

TEST(PortSettings, OpeningAndClosingSwitchTheWindowAndTheTimers) {
    Started s;
    auto& f = s.f;
    f.Combo_Port(0).set_list_index(2);
    f.Combo_Port(6).set_list_index(1);
    EXPECT_TRUE(s.port.open);
    EXPECT_EQ(s.port.number, 3);
    EXPECT_TRUE(s.g.link.port_open);
    for (int i : {0, 1, 2, 5}) EXPECT_FALSE(f.Combo_Port(i).enabled()) << i;
    EXPECT_TRUE(f.Combo_Port(6).enabled());
    EXPECT_TRUE(f.txt_Modbus_adress.enabled());
    EXPECT_TRUE(f.cmd_read_device.enabled());
    EXPECT_TRUE(f.read_out_parameter.enabled());
    EXPECT_TRUE(f.chk_read_out.enabled());
    EXPECT_FALSE(f.set_parameter.enabled());  // nothing marked
    EXPECT_TRUE(f.Timer4.enabled());
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), 0);  // "0 - °F"

    // Opening again does not re-open the port.
    s.prog.ctx.frm.Combo_Port(6).on_click(6);
    EXPECT_EQ(s.port.opens, 1);

    // A pending repeat and a running transfer are abandoned on close.
    f.Timer5.start();
    f.Timer3.start();
    f.Timer6.start();
    f.Timer1.start();
    f.chk_read_out.set_value(1);
    s.g.transfer.bus_ready = false;
    s.g.transfer.reg_address = 0x100;
    f.Combo_Port(6).set_list_index(0);
    EXPECT_FALSE(s.port.open);
    for (form::Timer* t : {&f.Timer1, &f.Timer3, &f.Timer4, &f.Timer5, &f.Timer6})
        EXPECT_FALSE(t->enabled()) << t->name();
    EXPECT_TRUE(s.g.transfer.bus_ready);
    EXPECT_EQ(s.g.transfer.request_kind, 1);
    EXPECT_EQ(s.g.transfer.reg_address, 0);
    EXPECT_EQ(f.chk_read_out.value(), 0);
    EXPECT_FALSE(f.cmd_read_device.enabled());
    EXPECT_FALSE(f.chk_read_out.enabled());
    for (int i : {0, 1, 2, 5}) EXPECT_TRUE(f.Combo_Port(i).enabled()) << i;
    EXPECT_FALSE(f.lbl_desc(16).visible());
    EXPECT_TRUE(s.msg.shown.empty());
}

TEST(PortSettings, APortThatCannotBeOpenedIsReportedAndTheWindowStaysClosed) {
    // The window's own line, and below it which device and why.
    struct Case { int number; bool permission; const char* text; const char* detail; } cases[] = {
        {8002, false, "COM-Port not available,  8002", "Den Port /dev/ttyUSB0 gibt es nicht."},
        {8005, true, "COM-Port not available,  8005", "dialout"},
        {8005, false, "COM-Port not available,  8005", "/dev/ttyUSB0 ist belegt"},
        {8015, false, "COM-Port not available,  8015", "/dev/ttyUSB0 nimmt diese Einstellungen nicht an"},
    };
    for (const auto& k : cases) {
        Started s;
        s.port.open_error = k.number;
        s.port.open_permission = k.permission;
        s.f.Combo_Port(6).set_list_index(1);
        ASSERT_EQ(s.msg.shown.size(), 1u);
        EXPECT_EQ(s.msg.shown[0], k.text);
        EXPECT_NE(s.msg.details[0].find(k.detail), std::string::npos) << s.msg.details[0];
        EXPECT_EQ(s.msg.details[0].find("dialout") != std::string::npos, k.permission);
        EXPECT_EQ(s.f.Combo_Port(6).list_index(), 0);
        EXPECT_FALSE(s.g.link.port_open);
        EXPECT_FALSE(s.port.open);
        for (int i : {0, 1, 2, 5}) EXPECT_TRUE(s.f.Combo_Port(i).enabled());
        EXPECT_FALSE(s.f.cmd_read_device.enabled());
        EXPECT_FALSE(s.f.read_out_parameter.enabled());
        EXPECT_FALSE(s.f.set_parameter.enabled());
        EXPECT_FALSE(s.f.chk_read_out.enabled());
        EXPECT_FALSE(s.f.Timer4.enabled());
    }
}

// A port that goes away under a transfer (an adapter pulled out, the far
// end of a pseudo-terminal closed) is named as gone, once and in the
// language in force, and the window closes it.
TEST(PortSettings, APortThatVanishesUnderATransferIsReportedAsGoneAndClosed) {
    struct Case { const char* language; bool read_out; const char* detail; } cases[] = {
        {"1031", false, "Der Port sim ist nicht mehr da."},
        {"1033", true, "The port sim is gone."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.language);
        SimHarness h;
        h.c.g.lang.language = k.language;
        if (k.read_out)
            h.f.chk_read_out.set_value(1);
        else
            h.f.cmd_read_device.press();
        ASSERT_TRUE(h.clock.run_until([&] { return h.sensor.requests().size() == 2; }, 5000));
        h.sim_port.set_vanished(true);
        h.clock.advance(5000);
        ASSERT_EQ(h.msg.shown, std::vector<std::string>{"COM-Port not available,  8020"});
        EXPECT_EQ(h.msg.details[0].rfind(k.detail, 0), 0u) << h.msg.details[0];
        EXPECT_FALSE(h.sim_port.is_open());
        EXPECT_EQ(h.f.Combo_Port(6).list_index(), 0);
        for (int i : {0, 1, 2, 5}) EXPECT_TRUE(h.f.Combo_Port(i).enabled()) << i;
        EXPECT_TRUE(h.f.lbl_desc(16).visible());
        EXPECT_FALSE(h.prog.frmState.loaded());
        EXPECT_TRUE(h.f.enabled());
        for (form::Timer* t : {&h.f.Timer1, &h.f.Timer3, &h.f.Timer4, &h.f.Timer5, &h.f.Timer6})
            EXPECT_FALSE(t->enabled()) << t->name();
    }
}

// The port list is the machine's as it is now, takes a typed device or
// network port, and
// offers the port used last first at the next start.
TEST(PortList, IsFilledAfreshTakesATypedDeviceAndKeepsTheLastOneUsed) {
    InstalledProgram first;
    form::ComboBox& ports = first.f.Combo_Port(0);
    ASSERT_EQ(ports.text(), "COM1");
    // An adapter plugged in after the start shows when the list is opened;
    // the choice stays on its port, whose number moved.
    first.port.names.insert(first.port.names.begin(), "/dev/ttyUSB0");
    ports.drop_down();
    EXPECT_EQ(ports.items(), (std::vector<std::string>{"/dev/ttyUSB0", "COM1", "COM2", "COM3"}));
    EXPECT_EQ(ports.text(), "COM1");
    EXPECT_EQ(first.g.link.com_port, 2);

    ports.enter_text(" modbus-tcp://[fe80::1]:1502 ");
    EXPECT_EQ(ports.text(), "modbus-tcp://[fe80::1]:1502");
    // A network port must be whole to be taken.
    ports.enter_text("tcp://gateway");
    EXPECT_EQ(first.msg.details, (std::vector<std::string>{"Den Port tcp://gateway gibt es nicht."}));
    first.msg.shown.clear();
    ports.enter_text("COM3");  // a listed entry is chosen, not added
    EXPECT_EQ(ports.list_count(), 5);
    EXPECT_EQ(first.g.link.com_port, 4);
    ports.enter_text("modbus-tcp://[fe80::1]:1502");
    first.f.Combo_Port(6).set_list_index(1);
    EXPECT_TRUE(first.port.open);
    EXPECT_EQ(first.port.number, 5);
    ports.enter_text("/dev/ttyS9");  // the list takes nothing while the port is open
    EXPECT_EQ(ports.list_count(), 5);
    EXPECT_TRUE(first.msg.shown.empty());

    Installation again;
    again.user = first.dir.read("none-user.reg");
    InstalledProgram second(again);
    EXPECT_EQ(second.f.Combo_Port(0).text(), "modbus-tcp://[fe80::1]:1502");
    EXPECT_EQ(second.g.link.com_port, 4);  // after the system's three
    second.f.Combo_Port(6).set_list_index(1);
    EXPECT_EQ(second.port.number, 4);
}

struct NewLine {
    const char* name;
    std::function<void(SimHarness&)> change;
    bool same_sensor;
};

void PrintTo(const NewLine& k, std::ostream* os) { *os << k.name; }

void reopen(SimHarness& h, int list, int position) {
    h.f.Combo_Port(6).set_list_index(0);
    h.f.Combo_Port(list).set_list_index(position);
    h.f.Combo_Port(6).set_list_index(1);
}

class SensorLine : public ::testing::TestWithParam<NewLine> {};

// Values that came through one port, line setting and address are another
// sensor's once any of these changes: shown as not read until the next
// read, never written to the new one, and the first request of that read
// shows the status window while it waits.
TEST_P(SensorLine, AnotherSensorsValuesShowAsNotReadUntilTheNextRead) {
    SimHarness h;
    auto& f = h.f;
    const auto& image = h.c.g.image;
    ASSERT_TRUE(h.read_device());
    h.sensor.set_holding(4, 900);  // what the sensor now on the line holds
    GetParam().change(h);
    if (GetParam().same_sensor) {
        EXPECT_EQ(f.txt_data_cfg(4).text(), "800");
        EXPECT_TRUE(image.config_known && image.external_known);
        EXPECT_EQ(h.c.g.transfer.min_response_ms, -1);
        return;
    }
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(f.txt_data_cfg(i).text(), "") << i;
        EXPECT_FALSE(image.cfg_raw[static_cast<std::size_t>(i)].has_value()) << i;
    }
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(f.txt_data_out(i).text(), "") << i;
        EXPECT_EQ(f.txt_data_in(i).text(), "") << i;
    }
    for (int i = 0; i < 8; ++i) EXPECT_EQ(f.chk_cfg(i).value(), form::kGrayed) << i;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.chk_inp_bit(i).value(), form::kGrayed) << i;
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), -1);
    EXPECT_FALSE(image.config_known || image.external_known);
    EXPECT_EQ(h.c.g.transfer.min_response_ms, -1);
    EXPECT_FALSE(f.set_parameter.enabled());

    const std::size_t sent = h.port.sent.size();
    f.txt_data_cfg(5).set_text("1300");
    f.set_parameter.press();
    h.clock.advance(20000);
    EXPECT_EQ(h.port.sent.size(), sent);
    ASSERT_EQ(h.msg.shown.size(), 1u);

    h.sensor.faults().answer_ms = 900;  // a slow sensor not yet known
    f.cmd_read_device.press();
    EXPECT_TRUE(h.prog.frmState.visible());
    EXPECT_FALSE(f.enabled());
    ASSERT_TRUE(h.clock.run_until([&] { return h.c.g.transfer.request_kind == 0 && !h.prog.frmState.loaded(); }, 60000));
    EXPECT_EQ(f.txt_data_cfg(4).text(), "900");
    EXPECT_TRUE(image.config_known && image.external_known);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SensorLine,
    ::testing::Values(NewLine{"TheSamePortReopened", [](SimHarness& h) { reopen(h, 6, 1); }, true},
                      NewLine{"AnotherPort",
                              [](SimHarness& h) {
                                  h.f.Combo_Port(0).add_item("/dev/ttyUSB1");
                                  reopen(h, 0, 1);
                              },
                              false},
                      NewLine{"AnotherBaudRate", [](SimHarness& h) { reopen(h, 1, 1); }, false},
                      NewLine{"AnotherAddress",
                              [](SimHarness& h) {
                                  h.sensor.set_address(2);
                                  h.f.txt_Modbus_adress.set_text("2");
                              },
                              false}),
    [](const auto& info) { return std::string(info.param.name); });

// Values no sensor gave (loaded from a file before any read) are there to
// be written to the sensor the port then reaches.
TEST(SensorLine, ValuesNoSensorGaveStayWhenThePortOpens) {
    FakeProgram p;
    p.f.txt_data_cfg(4).set_text("900");
    p.g.image.config_known = true;
    p.f.Combo_Port(6).set_list_index(1);
    EXPECT_EQ(p.f.txt_data_cfg(4).text(), "900");
    EXPECT_EQ(p.f.txt_data_cfg(4).fore_color(), form::kChangeMark);
    EXPECT_TRUE(p.g.image.config_known);
    EXPECT_TRUE(p.f.set_parameter.enabled());
}

}  // namespace
}  // namespace vor3::test
