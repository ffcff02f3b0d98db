// The register view's binding, in both languages: opened from the view
// menu while the simulated sensor is read, its table follows the model's
// rows, its button puts them on the desktop's clipboard, and a picture of
// it lands in the build folder.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTableWidget>

#include "model/register_map.h"
#include "qt/platform_services.h"
#include "qt/register_view.h"
#include "support/hives.h"
#include "support/temp_dir.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

struct Language {
    const char* value;
    const char* tag;
};
void PrintTo(const Language& k, std::ostream* os) { *os << k.tag; }

class RegisterViewTest : public ViewTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override {
        program.g.platform.machine_hive =
            dir.write("machine.reg", vor3::test::machine_hive(dir.path.string(), GetParam().value));
        program.use_clipboard(clipboard);
        ViewTest::SetUp();
    }

    vor3::test::TempDir dir;
    QtClipboard clipboard;
};

TEST_P(RegisterViewTest, TheTableFollowsTheReadAndCopyReachesTheClipboard) {
    sensor.set_holding(0x100, 231);
    widget<QAction>("AnsichtMenue_6").trigger();
    RegisterView& registers = view->register_view();
    ASSERT_TRUE(wait_until([&] { return registers.isVisible(); }, 3000));
    auto& table = *registers.findChild<QTableWidget*>("grd_registers");
    const auto& model = program.frmRegisters.grd_registers;
    ASSERT_EQ(table.rowCount(), static_cast<int>(model::field_map().size()));
    ASSERT_EQ(table.columnCount(), 7);
    EXPECT_EQ(table.horizontalHeaderItem(4)->text().toStdString(), model.headers()[4]);

    auto& ports = widget<QComboBox>("Combo_Port_0");
    ports.setCurrentIndex(ports.findText(SwitchingPort::kSimulatorEntry));
    widget<QComboBox>("Combo_Port_6").setCurrentIndex(1);
    f.cmd_read_device.press();
    ASSERT_TRUE(wait_until(
        [&] { return program.g.transfer.request_kind == model::kIdle && !program.frmState.loaded(); }, 10000));
    // Row 11 is the measured temperature, register 0x100.
    ASSERT_TRUE(wait_until([&] { return table.item(11, 3)->text() == "0x00E7"; }, 3000));
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            ASSERT_EQ(table.item(r, c)->text().toStdString(),
                      model.rows()[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                << r << "," << c;

    QTest::mouseClick(registers.findChild<QPushButton*>("cmd_copy"), Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied.count('\n'), table.rowCount() + 1);
    EXPECT_TRUE(copied.startsWith(table.horizontalHeaderItem(0)->text() + '\t'));
    picture(registers, std::string(GetParam().tag) + "_registers");
}

INSTANTIATE_TEST_SUITE_P(Both, RegisterViewTest, ::testing::Values(Language{"1031", "de"}, Language{"1033", "en"}),
                         [](const auto& info) { return std::string(info.param.tag); });

}  // namespace
}  // namespace vor3::qt::test
