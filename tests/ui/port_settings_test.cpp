// The port lists: the window as it starts, the settings each choice gives,
// opening and closing, ports that fail, and the values of another sensor.
#include <functional>

#include "app/cli_read.h"
#include "ui/port_settings.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

// The window with its port closed: the lists free, no transfer offered,
// none under way and no transfer timer running.
void expect_closed(InstalledProgram& p) {
    auto& f = p.f;
    EXPECT_EQ(f.Combo_Port(6).list_index(), 0);
    for (int i : {0, 1, 2, 5}) EXPECT_TRUE(f.Combo_Port(i).enabled()) << i;
    for (const form::Control* c :
         Controls{&f.cmd_read_device, &f.set_parameter, &f.read_out_parameter, &f.chk_read_out})
        EXPECT_FALSE(c->enabled());
    for (form::Timer* t : {&f.Timer, &f.Timer1, &f.Timer3, &f.Timer4, &f.Timer5, &f.Timer6})
        EXPECT_FALSE(t->enabled()) << t->name();
    EXPECT_EQ(f.chk_read_out.value(), 0);
    EXPECT_TRUE(f.enabled());
    EXPECT_FALSE(p.prog.frmState.loaded());
}

// A port that does not open is named, and the window stays closed.
TEST(PortSettings, StartClosedOnCom1_9600_Even_RtuAndOpeningLocksTheLists) {
    InstalledProgram p;
    auto& f = p.f;
    EXPECT_EQ(f.Combo_Port(0).text() + " " + f.Combo_Port(1).text() + " " + f.Combo_Port(2).text() + " " +
                  f.Combo_Port(5).text() + " " + f.Combo_Port(6).text(),
              "COM1 9600 Even RTU close");
    EXPECT_EQ(p.port.settings, "9600,E,8,1");
    EXPECT_FALSE(p.port.open);
    expect_closed(p);
    EXPECT_EQ(f.txt_Modbus_adress.text(), "1");

    p.port.open_error = 8005;
    p.port.open_permission = true;
    open_port(p);
    ASSERT_EQ(p.msg.shown, std::vector<std::string>{"COM-Port not available,  8005"});
    EXPECT_NE(p.msg.details[0].find("dialout"), std::string::npos) << p.msg.details[0];
    EXPECT_FALSE(p.port.open);
    expect_closed(p);

    p.port.open_error = 0;
    f.Combo_Port(0).set_list_index(2);
    open_port(p);
    EXPECT_TRUE(p.port.open);
    EXPECT_EQ(p.port.number, 3);
    for (int i : {0, 1, 2, 5}) EXPECT_FALSE(f.Combo_Port(i).enabled()) << i;
    for (const form::Control* c :
         Controls{&f.Combo_Port(6), &f.txt_Modbus_adress, &f.cmd_read_device, &f.read_out_parameter, &f.chk_read_out})
        EXPECT_TRUE(c->enabled());
    EXPECT_FALSE(f.set_parameter.enabled());  // nothing marked
    EXPECT_TRUE(f.Timer4.enabled());
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), 0);  // "0 - °F"
    f.Combo_Port(6).on_click(6);                  // opening again does not re-open the port
    EXPECT_EQ(p.port.opens, 1);
}

struct SettingsCase {
    const char* name;
    int baud, parity, mode;
    const char* reached;  // the port's settings and input mode, the framing, the poll and give-up periods
};
void PrintTo(const SettingsCase& k, std::ostream* os) { *os << k.name; }

class PortSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(PortSettings, FollowTheListsIntoThePortAndTheTimers) {
    const auto& k = GetParam();
    InstalledProgram p;
    p.f.Combo_Port(1).set_list_index(k.baud);
    p.f.Combo_Port(2).set_list_index(k.parity);
    p.f.Combo_Port(5).set_list_index(k.mode);
    EXPECT_EQ(p.port.settings + " " + std::to_string(p.port.input_mode) + " " +
                  model::framing_name(p.g.link.protocol_mode) + " " + std::to_string(p.f.Timer4.interval()) + " " +
                  std::to_string(p.f.Timer3.interval()),
              k.reached);
}

INSTANTIATE_TEST_SUITE_P(Lists, PortSettings,
                         ::testing::Values(SettingsCase{"Rtu19200None", 1, 0, 1, "19200,N,8,1 1 RTU 50 500"},
                                           SettingsCase{"Ascii38400Even", 2, 1, 0, "38400,E,7,1 0 ASCII 100 1000"},
                                           SettingsCase{"Ascii57600Odd", 3, 2, 0, "57600,O,7,1 0 ASCII 100 1000"}),
                         kByName);

TEST(PortSettings, ClosedUnderTheReadOutStopsItAndFreesTheLists) {
    InstalledProgram p(on_sensor());
    open_port(p);
    p.f.chk_read_out.set_value(1);
    ASSERT_TRUE(p.clock.run_until([&] { return p.sensor.requests().size() == 2; }, 5000));
    p.f.Combo_Port(6).set_list_index(0);
    p.clock.advance(5000);
    EXPECT_TRUE(p.msg.shown.empty());
    EXPECT_FALSE(p.f.warning_line().visible());
    EXPECT_FALSE(p.sim_port.is_open());
    expect_closed(p);
}

TEST(PortList, IsFilledAfreshTakesATypedDeviceAndKeepsTheLastOneUsed) {
    InstalledProgram first;
    form::ComboBox& ports = first.f.Combo_Port(0);
    // An adapter plugged in after the start moves the ports' numbers; the
    // choice stays on its port.
    first.port.names.insert(first.port.names.begin(), "/dev/ttyUSB0");
    ports.drop_down();
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
    open_port(first);
    EXPECT_TRUE(first.port.open);
    EXPECT_EQ(first.port.number, 5);
    ports.enter_text("/dev/ttyS9");  // the list takes nothing while the port is open
    EXPECT_EQ(ports.list_count(), 5);
    EXPECT_TRUE(first.msg.shown.empty());

    InstalledProgram second(Installation().with_user(first.dir.read("none-user.reg")));
    EXPECT_EQ(second.f.Combo_Port(0).text(), "modbus-tcp://[fe80::1]:1502");
    EXPECT_EQ(second.g.link.com_port, 4);  // after the system's three
    open_port(second);
    EXPECT_EQ(second.port.number, 4);

    // The command line keeps the port it was given, not the first listed.
    InstalledProgram cli(Installation().with_user(first.dir.read("none-user.reg")));
    const app::CollectedMessages none;
    ASSERT_TRUE(app::CliRead(cli.prog, none, app::parse_cli({"read", "--port", "/dev/pts/5"})).open());
    EXPECT_NE(cli.dir.read("user.reg").find("\"/dev/pts/5;modbus-tcp://[fe80::1]:1502\""), std::string::npos)
        << cli.dir.read("user.reg");
}

struct NewLine {
    const char* name;
    std::function<void(InstalledProgram&)> change;
};
void PrintTo(const NewLine& k, std::ostream* os) { *os << k.name; }

void reopen(InstalledProgram& p, int list, int position) {
    p.f.Combo_Port(6).set_list_index(0);
    p.f.Combo_Port(list).set_list_index(position);
    open_port(p);
}

class SensorLine : public ::testing::TestWithParam<NewLine> {};

// Values that came through one port, line setting and address are another
// sensor's once any of these changes: shown as not read until the next
// read, never written to the new one, and the first request of that read
// shows the status window while it waits.
TEST_P(SensorLine, AnotherSensorsValuesShowAsNotReadUntilTheNextRead) {
    InstalledProgram p(on_sensor());
    auto& f = p.f;
    const auto& image = p.g.image;
    ASSERT_TRUE(p.read_device());
    p.sensor.set_holding(4, 900);  // what the sensor now on the line holds
    GetParam().change(p);
    EXPECT_EQ(configuration(p).substr(configuration(p).find('|')), "|          | 22222222");
    EXPECT_EQ(other_parts(p), "  |    |    | 22222");
    for (const auto& raw : image.cfg_raw) EXPECT_FALSE(raw.has_value());
    EXPECT_EQ(f.cmb_bit_cfg(3).list_index(), -1);
    EXPECT_FALSE(image.config_known || image.external_known);
    EXPECT_FALSE(f.set_parameter.enabled());

    const std::size_t sent = frames(p);
    f.txt_data_cfg(5).set_text("1300");
    f.set_parameter.press();
    p.clock.advance(20000);
    EXPECT_EQ(frames(p), sent);
    ASSERT_EQ(p.msg.shown.size(), 1u);

    p.sensor.faults().answer_ms = 900;  // a slow sensor not yet known
    f.cmd_read_device.press();
    EXPECT_TRUE(p.prog.frmState.visible());
    EXPECT_FALSE(f.enabled());
    ASSERT_TRUE(p.clock.run_until([&] { return p.g.transfer.request_kind == 0 && !p.prog.frmState.loaded(); }, 60000));
    EXPECT_EQ(f.txt_data_cfg(4).text(), "900");
    EXPECT_TRUE(image.config_known && image.external_known);
}

INSTANTIATE_TEST_SUITE_P(Changes, SensorLine,
                         ::testing::Values(NewLine{"AnotherPort",
                                                   [](InstalledProgram& p) {
                                                       p.f.Combo_Port(0).add_item("/dev/ttyUSB1");
                                                       reopen(p, 0, 1);
                                                   }},
                                           NewLine{"AnotherBaudRate", [](InstalledProgram& p) { reopen(p, 1, 1); }},
                                           NewLine{"AnotherAddress",
                                                   [](InstalledProgram& p) {
                                                       p.sensor.set_address(2);
                                                       p.f.txt_Modbus_adress.set_text("2");
                                                   }}),
                         kByName);

}  // namespace
}  // namespace vor3::test

namespace vor3::test {
namespace {

std::string lists(InstalledProgram& p) {
    std::string s = p.f.Combo_Port(0).text();
    for (int i : {1, 2, 5}) s += " " + p.f.Combo_Port(i).text();
    return s + " " + p.f.txt_Modbus_adress.text();
}

std::string user_settings(const std::string& port_settings) {
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2]\n"
           "\"RecentPorts\"=\"COM3\"\n\"PortSettings\"=\"" +
           port_settings + "\"\n";
}

// The line setting and address used with a port come back when it is
// chosen, at the next start too; a port never used keeps what is shown.
TEST(PortMemory, OffersEachPortsLineSettingAndAddressAgainAcrossARestart) {
    InstalledProgram first;
    auto& f = first.f;
    EXPECT_EQ(lists(first), "COM1 9600 Even RTU 1");
    f.Combo_Port(0).set_list_index(2);
    f.Combo_Port(1).set_list_index(1);
    f.Combo_Port(2).set_list_index(0);
    f.Combo_Port(5).set_list_index(0);
    f.txt_Modbus_adress.set_text("7");
    open_port(first);
    f.txt_Modbus_adress.set_text("12");  // another sensor on the same line
    f.Combo_Port(6).set_list_index(0);
    f.Combo_Port(0).set_list_index(0);
    EXPECT_EQ(lists(first), "COM1 19200 None ASCII 12");
    f.Combo_Port(1).set_list_index(3);
    open_port(first);
    f.Combo_Port(6).set_list_index(0);
    f.Combo_Port(0).set_list_index(2);
    EXPECT_EQ(lists(first), "COM3 19200 None ASCII 12");
    f.Combo_Port(0).drop_down();  // the same port chosen again offers nothing anew
    f.Combo_Port(1).set_list_index(2);
    f.Combo_Port(0).drop_down();
    EXPECT_EQ(lists(first), "COM3 38400 None ASCII 12");
    open_port(first);
    EXPECT_TRUE(first.msg.shown.empty());

    InstalledProgram second(Installation().with_user(first.dir.read("none-user.reg")));
    EXPECT_EQ(lists(second), "COM3 38400 None ASCII 12");
    open_port(second);
    EXPECT_EQ(second.port.settings, "38400,N,7,1");
    second.f.Combo_Port(6).set_list_index(0);
    second.f.Combo_Port(0).set_list_index(0);
    EXPECT_EQ(lists(second), "COM1 57600 None ASCII 12");
}

// Stored values the lists or the address would not take are not offered:
// the window starts as it always has.
TEST(PortMemory, IgnoresHostileStoredSettings) {
    for (const char* stored :
         {"COM3|115200,E,RTU,7", "COM3|9600,X,RTU,7", "COM3|9600,EE,RTU,7", "COM3|9600,E,MODBUS,7", "COM3|9600,E,RTU,0",
          "COM3|9600,E,RTU,64", "COM3|9600,E,RTU,-1", "COM3|9600,E,RTU,007", "COM3|9600,E,RTU,", "COM3|9600,E,RTU,7,1",
          "COM3|", "COM3", "|9600,E,RTU,7", ";;;|||,,,", "COM3|9600,E,RTU,99999999999999999999"}) {
        InstalledProgram p(Installation().with_user(user_settings(stored)));
        EXPECT_EQ(lists(p), "COM3 9600 Even RTU 1") << stored;
        EXPECT_TRUE(p.msg.shown.empty()) << stored;
    }
    InstalledProgram good(Installation().with_user(user_settings("COM1|bad;COM3|57600,O,ASCII,63")));
    EXPECT_EQ(lists(good), "COM3 57600 Odd ASCII 63");
}

}  // namespace
}  // namespace vor3::test

namespace vor3::test {
namespace {

// Beside "COM-Port not available, N" the reason, in the user's language.
TEST(PortErrors, NameTheReasonInTheUsersLanguage) {
    struct Row {
        int number;
        bool permission;
        const char *de, *en;
    };
    const Row rows[] = {
        {form::kPortInvalid, false, "Den Port COM7 gibt es nicht.", "There is no port COM7."},
        {form::kPortInUse, false, "Der Port COM7 ist belegt", "The port COM7 is in use"},
        {form::kPortInUse, true, "Sie haben keine Berechtigung", "You have no permission"},
        {form::kPortIoFailed, false, "Der Port COM7 ist nicht mehr da.", "The port COM7 is gone."},
        {form::kPortSettingsRefused, false, "Der Port COM7 nimmt diese Einstellungen nicht an.",
         "The port COM7 does not take these settings."},
        {form::kPortNotOpen, false, "Port ist nicht geöffnet", "Port is not open"},
        {form::kConnectionRefused, false, "COM7 lehnt die Verbindung ab", "COM7 refused the connection"},
    };
    for (const auto& r : rows)
        for (const auto* language : {model::kGerman, model::kEnglish}) {
            const form::PortError e(r.number, "system words", r.permission, "COM7");
            const std::string reason = ui::port_error_reason(e, "COM7", language);
            EXPECT_EQ(reason.rfind(language == model::kGerman ? r.de : r.en, 0), 0u) << r.number << " " << reason;
        }
    // A port that failed before it named its device is the one the list shows.
    InstalledProgram p;
    ui::show_port_error(p.c, form::PortError(form::kPortInvalid, "no port number 9"));
    EXPECT_EQ(p.msg.details, std::vector<std::string>{"Den Port COM1 gibt es nicht."});
}

}  // namespace
}  // namespace vor3::test
