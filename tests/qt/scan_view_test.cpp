// The scan window's binding: opened from the view menu, its boxes and
// buttons reach the model, the finds show in its list.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "qt/scan_view.h"
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
}

}  // namespace
}  // namespace vor3::qt::test
