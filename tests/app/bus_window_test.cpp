// The bus window under the virtual clock, on a line of simulated sensors:
// what a technician does with it, from the search to the report.
#include <gtest/gtest.h>

#include "app/bus_window.h"
#include "app/field_entry.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"
#include "support/fake_platform.h"

namespace vor3::test {
namespace {

struct BusWindowRun {
    BusWindowRun() {
        prog.use_file_dialog(files);
        prog.Main();
        prog.frm_config.Combo_Port(6).set_list_index(1);
    }
    form::VirtualClock clock;
    sim::SensorLine line{sim::Framing::Auto, {1, 5, 37}};
    sim::SimPort port{clock, line};
    FakeMessageBox msg;
    FakeConfirm confirm;
    FakeFileDialog files;
    app::Program prog{port, msg, confirm, clock};
    form::FrmBus& w = prog.frmBus;
    app::BusWindow& bus = prog.bus_window();
    TempDir dir;

    // Runs until the window's run has ended (or the bound has passed).
    bool settle(std::int64_t limit_ms = 120000) {
        return clock.run_until([&] { return !bus.busy(); }, limit_ms);
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> out;
        for (const auto& row : w.grd_sensors.rows()) out.push_back(row[static_cast<std::size_t>(c)]);
        return out;
    }
};

using Strings = std::vector<std::string>;

TEST(BusWindow, FindsTheLineKeepsItFreshAndCommissionsASelection) {
    BusWindowRun r;
    r.prog.frm_config.AnsichtMenue(5).press();
    ASSERT_TRUE(r.w.visible());

    // One search finds the line and reads every sensor on it.
    r.w.cmd_search.press();
    EXPECT_FALSE(r.w.cmd_search.enabled());
    ASSERT_TRUE(r.settle());
    EXPECT_EQ(r.column(1), (Strings{"1", "5", "37"}));
    EXPECT_EQ(r.column(7), (Strings{"gelesen", "gelesen", "gelesen"}));
    EXPECT_EQ(r.w.lbl_state.caption().substr(0, 21), "Messwerte von Adresse");

    // Open and idle, it goes round the sensors with the read-out; one that
    // falls silent is named and passed over; nothing reaches the trend.
    r.line.sensor(5).faults().silent = true;
    r.line.sensor(37).set_holding(0x102, 1234);
    const auto heard = r.line.sensor(1).heard();
    r.clock.advance(20000);
    EXPECT_EQ(r.column(7), (Strings{"gelesen", "keine Antwort", "gelesen"}));
    EXPECT_EQ(r.column(6)[2], "1234");
    EXPECT_GT(r.line.sensor(1).heard(), heard) << "sensor 1 asked again after the silent one";
    EXPECT_EQ(r.prog.frmTrend.cht_trend.points().size(), 0u);
    r.line.sensor(5).faults().silent = false;

    // The main window's configuration to two of them: the user ends the
    // read-out to edit, chooses, writes; each keeps its location id.
    r.prog.frm_config.chk_read_out.set_value(0);
    r.clock.advance(3000);
    ASSERT_EQ(app::enter_value(r.prog, "txt_data_cfg(4)", "900"), std::nullopt);
    r.w.grd_sensors.select({0, 2});
    r.w.cmd_write_shown.press();
    ASSERT_TRUE(r.settle());
    EXPECT_EQ(r.column(7), (Strings{"geschrieben und geprüft", "keine Antwort", "geschrieben und geprüft"}));
    EXPECT_EQ(r.line.sensor(37).holding(4), 900);
    r.files.answer = r.dir.file("report.csv");
    r.w.cmd_report.press();
    const std::string report = r.dir.read("report.csv");
    EXPECT_NE(report.find("\n37,37,verified,,4660,4660,105,105,0,0,37,37,800,900,"), std::string::npos) << report;

    // "Abbruch", or closing the window, stops after the sensor in progress;
    // closed, a message says what was done.
    r.prog.frm_config.chk_read_out.set_value(0);
    r.clock.advance(3000);
    r.w.grd_sensors.select({0, 1, 2});
    ASSERT_EQ(app::enter_value(r.prog, "txt_data_cfg(5)", "1400"), std::nullopt);
    r.w.cmd_write_shown.press();
    r.clock.advance(50);
    r.w.cmd_abort.press();
    EXPECT_EQ(r.w.lbl_state.caption(), "Halte nach Adresse 1 an…");
    r.prog.bus_window().unload();
    EXPECT_FALSE(r.w.visible());
    ASSERT_TRUE(r.settle());
    EXPECT_EQ(r.line.sensor(5).holding(5), 1200);
    ASSERT_FALSE(r.msg.shown.empty());
    EXPECT_EQ(r.msg.shown.back(), "Nach Adresse 1 angehalten.");
    EXPECT_EQ(r.msg.details.back(),
              "Adresse 1, Standortkennung 1: geschrieben und geprüft\n"
              "Adresse 5: nicht bearbeitet\nAdresse 37: nicht bearbeitet\n");

    // A double click puts the sensor into the main window and reads it.
    r.prog.frm_config.AnsichtMenue(5).press();
    r.w.grd_sensors.double_click(2);
    EXPECT_EQ(r.prog.frm_config.txt_Modbus_adress.text(), "37");
    r.clock.run_until([&] { return r.prog.g.transfer.request_kind == 0 && !r.prog.frmState.loaded(); }, 20000);
    EXPECT_EQ(r.prog.frm_config.txt_data_cfg(3).text(), "37");
}

}  // namespace
}  // namespace vor3::test
