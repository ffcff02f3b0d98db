// The scan and bus windows of the view menu: opened from the menu, their
// controls reach the model, and what they show follows it. The scan and
// the bus runs themselves are tested under the virtual clock.
#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QTableWidget>

#include "qt/bus_view.h"
#include "qt/scan_view.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

TEST_F(ViewTest, TheScanWindowsBoxesAndListFollowTheModel) {
    widget<QAction>("AnsichtMenue_1").trigger();
    ScanView& scan = view->scan_view();
    ASSERT_TRUE(scan.isVisible());
    scan.findChild<QCheckBox*>("chk_baud_0")->click();
    EXPECT_EQ(program.frmScan.chk_baud(0).value(), 0);
    program.frmScan.lst_found.add_item("RTU, 9600 Baud, Even, Adresse 1");
    auto& found = *scan.findChild<QListWidget*>("lst_found");
    ASSERT_EQ(found.count(), 1);
    EXPECT_EQ(found.item(0)->text(), "RTU, 9600 Baud, Even, Adresse 1");
    found.setCurrentRow(0);
    EXPECT_EQ(program.frmScan.lst_found.list_index(), 0);
    // Escape closes it as the close button does: the model unloads it.
    QTest::keyClick(&scan, Qt::Key_Escape);
    EXPECT_FALSE(program.frmScan.visible());
}

TEST_F(ViewTest, TheBusWindowShowsItsListAndPassesOnChoices) {
    widget<QAction>("AnsichtMenue_5").trigger();
    BusView& bus = view->bus_view();
    ASSERT_TRUE(bus.isVisible());
    auto& table = *bus.findChild<QTableWidget*>("grd_sensors");
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
    picture(bus, "bus");
    QTest::keyClick(&bus, Qt::Key_Escape);
    EXPECT_FALSE(program.frmBus.visible());
}

}  // namespace
}  // namespace vor3::qt::test
