// The whole program under the real event loop: the simulator entry of the
// port list, opened and read as a user would, with the traffic window open.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "model/register_map.h"
#include "qt/platform_services.h"
#include "qt/state_view.h"
#include "qt/traffic_view.h"
#include "tools/sensor_process.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

TEST_F(ViewTest, ReadingTheSimulatedSensorFillsTheWindowAndReturnsTheFocus) {
    sensor.set_holding(8, 0xFFFB);  // -0,5 K
    sensor.set_holding(0x100, 231);
    sensor.set_holding(0x201, 400);

    QtWallClock wall_clock;
    program.use_wall_clock(wall_clock);
    widget<QAction>("AnsichtMenue_3").trigger();
    TrafficView& traffic = view->traffic_view();
    ASSERT_TRUE(traffic.isVisible());
    auto& ports = widget<QComboBox>("Combo_Port_0");
    ports.setCurrentIndex(ports.findText(SwitchingPort::kSimulatorEntry));
    widget<QComboBox>("Combo_Port_6").setCurrentIndex(1);
    ASSERT_TRUE(simulator.is_open());
    auto& read = widget<QPushButton>("cmd_read_device");
    ASSERT_TRUE(read.isEnabled());

    // Pressed from the keyboard: the focus comes back to the button, not
    // to the open/close list, where the next arrow key would close the port.
    read.setFocus();
    QTest::keyClick(&read, Qt::Key_Space);
    ASSERT_TRUE(wait_until([&] { return view->state_view().isVisible(); }, 3000));
    ASSERT_TRUE(wait_until(
        [&] {
            return sensor.requests().size() >= 7 && program.g.transfer.request_kind == model::kIdle &&
                   !program.frmState.loaded();
        },
        10000));

    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FALSE(view->state_view().isVisible());
    EXPECT_EQ(view->focusWidget(), &read);
    QStringList shown;
    for (const char* name : {"txt_data_cfg_4", "txt_data_cfg_8", "txt_data_out_0", "txt_data_in_1"})
        shown << widget<QLineEdit>(name).text();
    EXPECT_EQ(shown.join(' '), "800 -0,5 23,1 40");

    // Each frame on a line of its own, at its clock time.
    auto& text = *traffic.findChild<QPlainTextEdit*>("txt_traffic");
    ASSERT_TRUE(wait_until([&] { return text.blockCount() >= 14; }, 3000));
    EXPECT_EQ(text.toPlainText().section('\n', 0, 0).mid(12),
              "  TX  01 03 00 06 00 01 64 0B  Adr. 1: Register 0x0006 lesen");
    picture(traffic, "traffic");
}

// A device the window did not list, typed into the port list as a user
// would: the simulated sensor program's pseudo-terminal opens. (What the
// real port carries is met by the command line's runs on it.)
TEST(TypedPortView, ADevicePathTypedIntoThePortListOpens) {
    const vor3::test::SensorProcess sensor_program;
    ASSERT_FALSE(sensor_program.device().empty());
    QtClock clock;
    WindowPorts ports(clock);
    vor3::test::FakeMessageBox msg;
    vor3::test::FakeConfirm confirm;
    app::Program program(ports.port(), msg, confirm, clock);
    ConfigView view(program);
    program.Main();
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    auto& list = *view.findChild<QComboBox*>("Combo_Port_0");
    list.lineEdit()->setFocus();
    list.lineEdit()->selectAll();
    QTest::keyClicks(list.lineEdit(), QString::fromStdString(sensor_program.device()));
    QTest::keyClick(list.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(program.frm_config.Combo_Port(0).text(), sensor_program.device());

    view.findChild<QComboBox*>("Combo_Port_6")->setCurrentIndex(1);
    EXPECT_EQ(msg.shown, std::vector<std::string>{});
    EXPECT_TRUE(ports.real().is_open());
    program.frm_config.stop_all_timers();
}

}  // namespace
}  // namespace vor3::qt::test
