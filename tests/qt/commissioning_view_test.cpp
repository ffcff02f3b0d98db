// The windows of the view menu: opened from the menu, their controls reach
// the model, and what they show follows it.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

#include "qt/bus_view.h"
#include "qt/platform_services.h"
#include "qt/scan_view.h"
#include "qt/traffic_view.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

TEST_F(ViewTest, TheScanWindowFindsTheSimulatedSensor) {
    widget<QComboBox>("Combo_Port_0").setCurrentIndex(3);  // the simulated sensor
    widget<QAction>("AnsichtMenue_1").trigger();
    ScanView& scan = view->scan_view();
    ASSERT_TRUE(scan.isVisible());
    EXPECT_EQ(scan.windowTitle(), "Sensor suchen");
    auto box = [&](const char* name) -> QCheckBox& { return *scan.findChild<QCheckBox*>(name); };
    // One framing, baud rate and parity: the simulated sensor's own.
    box("chk_mode_1").click();
    for (const char* name : {"chk_baud_0", "chk_baud_1", "chk_baud_2", "chk_parity_0", "chk_parity_2"})
        box(name).click();
    EXPECT_EQ(program.frmScan.chk_baud(3).value(), 1);
    EXPECT_EQ(program.frmScan.chk_baud(0).value(), 0);
    box("chk_first").click();
    scan.findChild<QPushButton*>("cmd_scan")->click();
    auto& found = *scan.findChild<QListWidget*>("lst_found");
    ASSERT_TRUE(wait_until([&] { return found.count() == 1; }, 10000));
    EXPECT_EQ(found.item(0)->text(), "RTU, 9600 Baud, Even, Adresse 1");
    ASSERT_TRUE(wait_until([&] { return scan.findChild<QPushButton*>("cmd_take")->isEnabled(); }, 5000));
    QDir().mkpath(VOR3_SCREENSHOT_DIR);
    EXPECT_TRUE(scan.grab().save(VOR3_SCREENSHOT_DIR "/scan.png"));

    found.setCurrentRow(0);
    scan.findChild<QPushButton*>("cmd_take")->click();
    EXPECT_FALSE(scan.isVisible());
    EXPECT_EQ(widget<QLineEdit>("txt_Modbus_adress").text(), "1");
    EXPECT_EQ(widget<QComboBox>("Combo_Port_1").currentText(), "9600");
    // The find is read at once.
    ASSERT_TRUE(wait_until([&] { return program.g.transfer.request_kind == 0 && !program.frmState.loaded(); }, 10000));
    EXPECT_EQ(widget<QLineEdit>("txt_data_cfg_3").text(), "1");

    // Escape closes it as the close button does: the model unloads it.
    widget<QAction>("AnsichtMenue_1").trigger();
    ASSERT_TRUE(wait_until([&] { return scan.isVisible(); }, 3000));
    QTest::keyClick(&scan, Qt::Key_Escape);
    EXPECT_FALSE(scan.isVisible());
    EXPECT_FALSE(program.frmScan.visible());
}

TEST_F(ViewTest, TheTrafficWindowShowsTheFramesOfARead) {
    QtWallClock wall_clock;
    program.use_wall_clock(wall_clock);
    widget<QAction>("AnsichtMenue_3").trigger();
    TrafficView& traffic = view->traffic_view();
    ASSERT_TRUE(traffic.isVisible());
    EXPECT_EQ(traffic.windowTitle(), "Verkehr");
    // A window of its own, which the configuration window can be raised over.
    EXPECT_EQ(traffic.windowType(), Qt::Window);
    widget<QComboBox>("Combo_Port_0").setCurrentIndex(3);
    widget<QComboBox>("Combo_Port_6").setCurrentIndex(1);
    widget<QPushButton>("cmd_read_device").click();
    auto& text = *traffic.findChild<QPlainTextEdit*>("txt_traffic");
    ASSERT_TRUE(wait_until([&] { return text.blockCount() >= 14; }, 10000));
    const QStringList lines = text.toPlainText().split('\n');
    EXPECT_TRUE(lines[0].endsWith("TX  01 03 00 06 00 01 64 0B  Adr. 1: Register 0x0006 lesen")) << lines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d{3}  TX)").match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(traffic.findChild<QLabel*>("lbl_count")->text(), "14 Frames");
    QDir().mkpath(VOR3_SCREENSHOT_DIR);
    EXPECT_TRUE(traffic.grab().save(VOR3_SCREENSHOT_DIR "/traffic.png"));

    traffic.findChild<QPushButton*>("cmd_clear")->click();
    traffic.pull();
    EXPECT_TRUE(text.toPlainText().isEmpty());
    traffic.close();
    EXPECT_FALSE(program.frmTraffic.visible());
}

TEST_F(ViewTest, TheBusWindowShowsItsListAndPassesOnChoices) {
    widget<QAction>("AnsichtMenue_5").trigger();
    BusView& bus = view->bus_view();
    ASSERT_TRUE(bus.isVisible());
    EXPECT_EQ(bus.windowTitle(), "Bus");
    auto& table = *bus.findChild<QTableWidget*>("grd_sensors");
    EXPECT_EQ(table.columnCount(), 8);
    EXPECT_EQ(table.horizontalHeaderItem(1)->text(), "Standortkennung");
    form::Grid& grid = program.frmBus.grd_sensors;
    grid.set_rows({{"1", "1001"}, {"5", "1005"}, {"37", "1037"}});
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.item(2, 1)->text(), "1037");
    // The user's selection reaches the model, and the model's the table.
    table.selectRow(0);
    table.setCurrentCell(2, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(grid.selected(), (std::vector<int>{0, 2}));
    grid.select({1});
    EXPECT_EQ(table.selectionModel()->selectedRows().size(), 1);
    int clicked = -1;
    grid.on_double_click = [&](int row) { clicked = row; };
    emit table.cellDoubleClicked(1, 3);
    EXPECT_EQ(clicked, 1);
    QDir().mkpath(VOR3_SCREENSHOT_DIR);
    EXPECT_TRUE(bus.grab().save(VOR3_SCREENSHOT_DIR "/bus.png"));
    QTest::keyClick(&bus, Qt::Key_Escape);
    EXPECT_FALSE(bus.isVisible());
    EXPECT_FALSE(program.frmBus.visible());
}

}  // namespace
}  // namespace vor3::qt::test
