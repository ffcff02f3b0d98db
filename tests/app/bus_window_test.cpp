// What a technician does with the bus window, from the search to the report.
#include <gtest/gtest.h>

#include <map>

#include "app/bus_window.h"
#include "app/field_entry.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"
#include "support/fake_platform.h"

namespace vor3::test {
namespace {

TEST(BusWindow, FindsTheLineKeepsItFreshAndCommissionsASelection) {
    form::VirtualClock clock;
    sim::SensorLine line{sim::Framing::Auto, {1, 5, 37}};
    sim::SimPort port{clock, line};
    FakeMessageBox msg;
    FakeConfirm confirm;
    FakeFileDialog files;
    app::Program prog{port, msg, confirm, clock};
    form::FrmBus& w = prog.frmBus;
    TempDir dir;
    prog.use_file_dialog(files);
    prog.Main();
    prog.frm_config.Combo_Port(6).set_list_index(1);
    // Each sensor's CO2 tells whose values the main window shows.
    for (int a : {1, 5, 37}) line.sensor(a).set_holding(0x102, static_cast<std::uint16_t>(500 + a));
    const auto co2_of = [](const std::string& shown) { return std::stoi(shown) % 100; };
    // After every tick, what a technician could see at that moment that is
    // not true; each kind with where it was seen first.
    std::map<std::string, std::string> untrue;
    const auto look = [&] {
        const auto& f = prog.frm_config;
        const std::string address = f.txt_Modbus_adress.text(), location = f.txt_data_cfg(3).text();
        const std::string co2 = f.txt_data_out(2).text();
        if (!location.empty() && location != address)
            untrue.try_emplace("settings of another sensor", location + " at " + address);
        if (!co2.empty() && std::to_string(co2_of(co2)) != address)
            untrue.try_emplace("values of another sensor", co2 + " at " + address);
        for (const auto& row : w.grd_sensors.rows())
            if (!row[6].empty() && std::to_string(co2_of(row[6])) != row[0])
                untrue.try_emplace("values in another sensor's row", row[6] + " at " + row[0]);
        if (prog.bus_window().busy() && w.lbl_state.caption() == "Kein Sensor gefunden.")
            untrue.try_emplace("none found while reading", w.grd_sensors.rows().empty() ? "search" : "write");
    };
    const auto watch = [&](std::int64_t ms) {
        clock.run_until(
            [&] {
                look();
                return false;
            },
            ms);
    };
    // Runs until the window's run has ended (or the bound has passed).
    const auto settle = [&] {
        return clock.run_until(
            [&] {
                look();
                return !prog.bus_window().busy();
            },
            120000);
    };
    const auto column = [&](std::size_t c) {
        std::vector<std::string> out;
        for (const auto& row : w.grd_sensors.rows()) out.push_back(row[c]);
        return out;
    };
    using Strings = std::vector<std::string>;

    prog.frm_config.AnsichtMenue(5).press();
    ASSERT_TRUE(w.visible());

    // One search finds the line and reads every sensor on it.
    w.cmd_search.press();
    EXPECT_FALSE(w.cmd_search.enabled());
    ASSERT_TRUE(settle());
    EXPECT_EQ(column(1), (Strings{"1", "5", "37"}));
    EXPECT_EQ(column(7), (Strings{"gelesen", "gelesen", "gelesen"}));
    EXPECT_EQ(w.lbl_state.caption().substr(0, 21), "Messwerte von Adresse");

    // Idle, it goes round with the read-out, passing over a silent sensor.
    line.sensor(5).faults().silent = true;
    line.sensor(37).set_holding(0x102, 1237);
    const auto heard = line.sensor(1).heard();
    watch(20000);
    EXPECT_EQ(column(7), (Strings{"gelesen", "keine Antwort", "gelesen"}));
    EXPECT_EQ(column(6)[2], "1237");
    EXPECT_GT(line.sensor(1).heard(), heard) << "sensor 1 asked again after the silent one";
    EXPECT_EQ(prog.frmTrend.cht_trend.points().size(), 0u);
    line.sensor(5).faults().silent = false;

    // The main window's configuration written to two of them.
    prog.frm_config.chk_read_out.set_value(0);
    watch(3000);
    ASSERT_EQ(app::enter_value(prog, "txt_data_cfg(4)", "900"), std::nullopt);
    w.grd_sensors.select({0, 2});
    w.cmd_write_shown.press();
    ASSERT_TRUE(settle());
    EXPECT_EQ(column(7), (Strings{"geschrieben und geprüft", "keine Antwort", "geschrieben und geprüft"}));
    // The read-out goes round again; what the write did stays until the
    // next run on those rows.
    line.sensor(1).set_holding(0x102, 601);
    watch(5000);
    EXPECT_EQ(column(7), (Strings{"geschrieben und geprüft", "gelesen", "geschrieben und geprüft"}));
    EXPECT_EQ(column(6)[0], "601");
    EXPECT_EQ(untrue, (std::map<std::string, std::string>{}));
    files.answer = dir.file("report.csv");
    w.cmd_report.press();
    const std::string report = dir.read("report.csv");
    EXPECT_NE(report.find("\n37,37,verified,,4660,4660,105,105,0,0,37,37,800,900,"), std::string::npos) << report;

    // "Abbruch", or closing the window, stops after the sensor in progress;
    // closed, a message says what was done.
    prog.frm_config.chk_read_out.set_value(0);
    watch(3000);
    w.grd_sensors.select({0, 1, 2});
    ASSERT_EQ(app::enter_value(prog, "txt_data_cfg(5)", "1400"), std::nullopt);
    w.cmd_write_shown.press();
    watch(50);
    w.cmd_abort.press();
    EXPECT_EQ(w.lbl_state.caption(), "Halte nach Adresse 1 an…");
    prog.bus_window().unload();
    ASSERT_TRUE(settle());
    EXPECT_EQ(msg.shown, Strings{"Nach Adresse 1 angehalten."});
    EXPECT_EQ(msg.details, Strings{"Adresse 1, Standortkennung 1: geschrieben und geprüft\n"
                                   "Adresse 5: nicht bearbeitet\nAdresse 37: nicht bearbeitet\n"});

    // A double click puts the sensor into the main window and reads it.
    prog.frm_config.AnsichtMenue(5).press();
    w.grd_sensors.double_click(2);
    EXPECT_EQ(prog.frm_config.txt_Modbus_adress.text(), "37");
    clock.run_until([&] { return prog.g.transfer.request_kind == 0 && !prog.frmState.loaded(); }, 20000);
    EXPECT_EQ(prog.frm_config.txt_data_cfg(3).text(), "37");
}

}  // namespace
}  // namespace vor3::test
