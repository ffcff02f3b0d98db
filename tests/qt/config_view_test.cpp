// The window's binding to the model: what the model says shows in the
// widgets, and what the user does with a widget reaches the model; the
// same for the status window and the scan and bus windows of the view menu.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QWheelEvent>

#include "model/captions.h"
#include "qt/bus_view.h"
#include "qt/scan_view.h"
#include "qt/spin_arrows.h"
#include "qt/state_view.h"
#include "ui/status_window.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

TEST_F(ViewTest, BuildsTheWindowFromTheModel) {
    EXPECT_EQ(view->windowTitle(), "ROZ3 RS485 Modbus CO2 V1.0");

    // An adapter plugged in since shows as soon as the list is opened.
    auto& ports = widget<QComboBox>("Combo_Port_0");
    real.names.push_back("COM4");
    ports.showPopup();
    EXPECT_EQ(ports.itemText(3) + "|" + ports.itemText(4), "COM4|Simulierter Sensor (sim)");
    EXPECT_EQ(ports.currentText(), "COM1");
    ports.hidePopup();

    // Hidden in the model: not shown; the value labels stand in for them.
    EXPECT_TRUE(widget<QLineEdit>("txt_data_cfg_0").isHidden());
    EXPECT_FALSE(widget<QLabel>("lbl_cfg_val_0").isHidden());

    EXPECT_TRUE(widget<QAction>("ParMenueMain_3").text().isEmpty());  // a separator, no stray "-"
    EXPECT_EQ(widget<QAction>("ParMenueMain_1").shortcut(), QKeySequence(QKeySequence::Open));
}

TEST_F(ViewTest, ModelChangesShowInTheWidgets) {
    auto& field = widget<QLineEdit>("txt_data_cfg_4");
    f.txt_data_cfg(4).set_text("123");
    f.txt_data_cfg(4).set_fore_color(form::kChangeMark);
    EXPECT_EQ(field.text(), "123");
    EXPECT_EQ(field.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
    // The mark still shows while the window is disabled for a transfer.
    const QColor muted = field.palette().color(QPalette::Disabled, QPalette::Text);
    EXPECT_GT(muted.red(), muted.green() + 50);
    f.txt_data_cfg(4).set_fore_color(form::kNormalText);
    EXPECT_EQ(field.palette().color(QPalette::Active, QPalette::Text),
              QApplication::palette(&field).color(QPalette::Active, QPalette::ButtonText));

    // A box shows its mark on its row label; the unit list on itself.
    auto& row = widget<QLabel>("lbl_read_cfg_bit_1");
    const QColor normal = row.palette().color(QPalette::Active, QPalette::WindowText);
    f.chk_cfg(1).set_fore_color(form::kChangeMark);
    EXPECT_EQ(row.palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::red));
    f.chk_cfg(1).set_fore_color(form::kNormalText);
    EXPECT_EQ(row.palette().color(QPalette::Active, QPalette::WindowText), normal);
    f.cmb_bit_cfg(3).set_fore_color(form::kChangeMark);
    EXPECT_EQ(widget<QComboBox>("cmb_bit_cfg_3").palette().color(QPalette::Active, QPalette::ButtonText), Qt::red);

    EXPECT_EQ(widget<QLabel>("lbl_desc_16").palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::red));

    // The status line shows under the buttons what the model says; neither
    // a long word on it nor the longest warning coming moves the window.
    auto& status = widget<QLabel>("status_line");
    auto& warning = widget<QLabel>("lbl_desc_16");
    EXPECT_GT(status.y(), widget<QPushButton>("cmd_read_device").y());
    EXPECT_EQ(status.text().toStdString(), f.status_line.caption());
    const QSize size = view->size();
    f.status_line.set_caption("COM1\n" + std::string(300, 'x') + "\nnote");
    EXPECT_EQ(status.text().toStdString(), f.status_line.caption());
    f.warning_line().set_caption(model::caption(model::Caption::warning_read_cancelled, model::kGerman));
    f.warning_line().set_visible(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->size(), size);
    EXPECT_GE(warning.height(), warning.heightForWidth(warning.width()));
    EXPECT_GE(status.height(), status.sizeHint().height());

    // A disabled frame greys its fields without changing their own state.
    f.frm_hold(0).set_enabled(false);
    EXPECT_FALSE(widget<QLineEdit>("txt_data_in_0").isEnabled());
    EXPECT_FALSE(widget<QLineEdit>("txt_data_in_0").testAttribute(Qt::WA_ForceDisabled));
    // The window's own state greys its contents, never its child windows.
    f.set_enabled(false);
    EXPECT_FALSE(widget<QTabWidget>("SSTab1").isEnabled());
    EXPECT_TRUE(view->isEnabled());
    f.SSTab1.set_tab(1);
    EXPECT_EQ(widget<QTabWidget>("SSTab1").currentIndex(), 1);
}

TEST_F(ViewTest, ListsTabsArrowsAndBoxesReachTheBehaviour) {
    auto& mode = widget<QComboBox>("Combo_Port_5");
    mode.setCurrentIndex(mode.findText("ASCII"));
    EXPECT_EQ(program.g.link.protocol_mode, model::Framing::Ascii);

    f.txt_data_cfg(3).set_text("5");
    auto& arrows = widget<SpinArrows>("UpD_txt_cfg_3");
    const QPoint up(arrows.width() / 2, 3), down(arrows.width() / 2, arrows.height() - 3);
    QTest::mouseClick(&arrows, Qt::LeftButton, {}, up);
    EXPECT_EQ(f.txt_data_cfg(3).text(), "6");
    QTest::mouseClick(&arrows, Qt::LeftButton, {}, down);
    EXPECT_EQ(f.txt_data_cfg(3).text(), "5");
    // Released over another widget, the auto-repeat ends too.
    QTest::mousePress(&arrows, Qt::LeftButton, {}, down);
    EXPECT_TRUE(f.Timer.enabled());
    QTest::mouseRelease(&widget<QLineEdit>("txt_data_cfg_4"), Qt::LeftButton);
    EXPECT_FALSE(f.Timer.enabled());

    // The page switch runs its rule: only the shown page's frames operate.
    QTabBar* bar = widget<QTabWidget>("SSTab1").tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_TRUE(f.frm_display(0).enabled());
    EXPECT_FALSE(f.frm_allg(1).enabled());
    auto& box = widget<QCheckBox>("chk_cfg_1");
    f.chk_cfg(1).set_value(form::kGrayed);  // not read: partly checked until clicked
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, box.height() / 2));  // on the indicator
    EXPECT_EQ(f.chk_cfg(1).value(), 1);
    f.chk_cfg(3).set_value(form::kGrayed);
    EXPECT_EQ(widget<QComboBox>("cmb_bit_cfg_3").currentIndex(), -1);  // no unit
    widget<QComboBox>("cmb_bit_cfg_3").setCurrentIndex(1);
    EXPECT_EQ(f.chk_cfg(3).value(), 1);  // the unit list drives the hidden coil
}

// The range tips, the access keys, the arrow keys and the wheel, and the
// read-only look of a locked field.
TEST_F(ViewTest, TipsKeysTheWheelAndReadOnlyFieldsReachTheWidgets) {
    auto& field = widget<QLineEdit>("txt_data_cfg_10");
    EXPECT_EQ(field.toolTip(), "-500 … 500 ppm, Schritt 1");
    EXPECT_EQ(widget<QPushButton>("cmd_read_device").shortcut(), QKeySequence(Qt::ALT | Qt::Key_G));
    f.txt_data_cfg(10).set_text("499");
    QTest::keyClick(&field, Qt::Key_Up);
    QTest::keyClick(&field, Qt::Key_Up);
    EXPECT_EQ(f.txt_data_cfg(10).text(), "500");
    QTest::keyClick(&field, Qt::Key_Down);
    // Two half notches of a fine wheel make one step down.
    for (int i = 0; i < 2; ++i) {
        QWheelEvent turn(QPointF(5, 5), field.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -60), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&field, &turn);
    }
    EXPECT_EQ(field.text(), "498");

    // The window as the cyclic read-out shows it, for anyone to look at.
    for (auto& [i, box] : f.txt_data_cfg) box.set_read_only(true);
    for (auto& [i, box] : f.txt_data_in) box.set_read_only(true);
    picture(*view, "de_read_only");
    EXPECT_TRUE(field.isReadOnly());
    EXPECT_TRUE(field.isEnabled());
    EXPECT_EQ(field.palette().color(QPalette::Active, QPalette::Base),
              QApplication::palette(&field).color(QPalette::Active, QPalette::Button));
    QTest::keyClick(&field, Qt::Key_Up);
    EXPECT_EQ(f.txt_data_cfg(10).text(), "498");
    f.txt_data_cfg(10).set_read_only(false);
    EXPECT_FALSE(field.isReadOnly());
    EXPECT_TRUE(widget<QLineEdit>("txt_data_out_0").isReadOnly());
}

TEST_F(ViewTest, TypingGoesThroughTheKeyFilter) {
    widget<QTabWidget>("SSTab1").setCurrentIndex(0);
    auto& field = widget<QLineEdit>("txt_data_cfg_4");
    field.setFocus();
    QTest::keyClicks(&field, "1x2");
    EXPECT_EQ(field.text(), "12");  // the letter was refused
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(f.txt_data_cfg(4).text(), "1");
    // Paste goes through the model too: its change rule marks the value.
    QGuiApplication::clipboard()->setText("7");
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.txt_data_cfg(4).text(), "17");
    // A refused key keeps the selection; a typed one replaces it, at the caret.
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_X);
    EXPECT_TRUE(field.hasSelectedText());
    QTest::keyClick(&field, Qt::Key_3);
    QTest::keyClicks(&field, "45");
    field.setCursorPosition(1);
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClick(&field, Qt::Key_9);
    EXPECT_EQ(f.txt_data_cfg(4).text(), "395");
    EXPECT_EQ(field.cursorPosition(), 2);
    // A key equal to the selection replaces it as any other does.
    auto& address = widget<QLineEdit>("txt_Modbus_adress");
    address.selectAll();
    QTest::keyClicks(&address, "12");
    EXPECT_EQ(f.txt_Modbus_adress.text(), "12");
    EXPECT_EQ(widget<QLineEdit>("txt_data_out_0").focusPolicy(), Qt::NoFocus);  // measured values take no input

    // Leaving a field runs its lost-focus rule: an empty field becomes 0.
    auto& other = widget<QLineEdit>("txt_data_cfg_5");
    QTest::keyClick(&other, Qt::Key_Backspace);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    other.setFocus();
    ASSERT_TRUE(other.hasFocus());
    field.setFocus();
    EXPECT_EQ(f.txt_data_cfg(5).text(), "0");
}

TEST_F(ViewTest, StatusWindowFollowsTheModelAndClosingAsksDuringAWrite) {
    auto& state = view->state_view();
    // One height with or without "Abbruch".
    program.g.transfer.request_kind = model::kReadRegister6;
    ui::ShowMsgWindow(program.ctx);
    ASSERT_TRUE(state.isVisible());
    const int height = state.height();
    ui::CloseWindow(program.ctx);
    program.g.transfer.request_kind = model::kWriteConfigBlock;  // a write offers "Abbruch"
    ui::ShowMsgWindow(program.ctx);
    EXPECT_EQ(state.height(), height);
    program.frmState.ProgressFile.set_value(3);
    EXPECT_EQ(state.findChild<QProgressBar*>("ProgressFile")->value(), 3);
    QTest::mouseClick(state.findChild<QPushButton*>("Abbruch"), Qt::LeftButton);
    EXPECT_FALSE(state.isVisible());
    // Its close button cancels as "Abbruch" does, and so does Escape;
    // Enter presses the button that has the focus.
    program.g.transfer.request_kind = model::kWriteConfigBlock;
    ui::ShowMsgWindow(program.ctx);
    state.close();
    EXPECT_FALSE(program.frmState.loaded());
    program.g.transfer.request_kind = model::kWriteConfigBlock;
    ui::ShowMsgWindow(program.ctx);
    QTest::keyClick(&state, Qt::Key_Escape);
    EXPECT_FALSE(program.frmState.loaded());
    program.g.transfer.request_kind = model::kWriteConfigBlock;
    ui::ShowMsgWindow(program.ctx);
    auto* cancel = state.findChild<QPushButton*>("Abbruch");
    EXPECT_EQ(cancel->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));  // "&Abbruch"
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_FALSE(program.frmState.loaded());

    // Whether to end under a write is the model's rule; the window's close
    // button asks it.
    bool ended = false;
    program.ctx.end_program = [&] { ended = true; };
    program.g.transfer.request_kind = model::kWriteConfigBlock;
    EXPECT_FALSE(view->close());
    confirm.answer = true;
    view->close();
    EXPECT_TRUE(ended);
}

// The scan and the bus runs themselves are tested under the virtual clock.
TEST_F(ViewTest, TheScanWindowsListFollowsTheModel) {
    widget<QAction>("AnsichtMenue_1").trigger();
    ScanView& scan = view->scan_view();
    ASSERT_TRUE(scan.isVisible());
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
}

}  // namespace
}  // namespace vor3::qt::test
