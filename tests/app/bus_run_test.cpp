// Whole lines of sensors under the virtual clock: one program driven over
// several simulated sensors on one line, one sensor after another.
#include <gtest/gtest.h>

#include "app/bus_report.h"
#include "app/bus_run.h"
#include "app/cli_bus.h"
#include "app/cli_save.h"
#include "app/data_bits_port.h"
#include "form/virtual_clock.h"
#include "sim/sensor_line.h"
#include "sim/sim_port.h"
#include "support/temp_dir.h"

namespace vor3::app {
namespace {

// The command line's program on a line of simulated sensors.
struct Line {
    explicit Line(std::vector<int> addresses) : sensors(sim::Framing::Auto, addresses) {
        CliOptions o;
        o.port = "sim";
        EXPECT_TRUE(CliRead(prog, msg, o).open());
    }
    form::VirtualClock clock;
    sim::SensorLine sensors;
    sim::SimPort sim_port{clock, sensors};
    DataBitsPort port{sim_port, 8};
    CollectedMessages msg;
    NoConfirm confirm;
    Program prog{port, msg, confirm, clock};

    // Runs `plan`; `each_tick` may act in between, as a user would.
    std::vector<SensorResult> run(BusPlan plan, const std::function<void(BusRun&)>& each_tick = {}) {
        BusRun bus(prog, std::move(plan));
        bus.start();
        while (bus.running() && clock.now_ms() < 600000) {
            clock.advance(1);
            if (each_tick) each_tick(bus);
        }
        EXPECT_FALSE(bus.running());
        exit_status = bus.exit_status();
        return bus.results();
    }
    int exit_status = -1;

    // Every request any sensor heard, whatever its address.
    std::vector<std::string> heard() {
        std::vector<std::string> all;
        for (int a : sensors.addresses())
            for (const auto& r : sensors.sensor(a).requests()) all.push_back(r);
        return all;
    }
};

BusPlan plan_of(BusPlan::Job job, std::vector<int> addresses) {
    CliOptions o;
    o.command = job == BusPlan::Job::Write ? "write" : "read";
    return bus_plan(o, addresses);
}

// A file saved from one sensor, written to a line of four: the one that
// is silent and the one that refuses writes are named, the others are
// written and verified, each keeping its location id; the report says
// all of it, value by value.
TEST(BusRun, WritesAFileToEverySensorItCanAndReportsEach) {
    test::TempDir dir;
    Line line({1, 5, 20, 37});
    line.sensors.sensor(1).set_holding(4, 950);
    line.sensors.sensor(1).set_coil(2, false);
    ASSERT_EQ(line.run(plan_of(BusPlan::Job::Read, {1}))[0].outcome, SensorOutcome::Read);
    ASSERT_EQ(save_through_menu(line.prog, line.msg, dir.file("one.txt")), std::nullopt);

    line.sensors.sensor(5).faults().silent = true;
    line.sensors.sensor(20).faults().refuse_writes = 4;
    BusPlan plan = plan_of(BusPlan::Job::Write, {1, 5, 20, 37});
    plan.file = dir.file("one.txt");
    const auto results = line.run(plan);
    EXPECT_EQ(line.exit_status, 3);
    for (int a : {1, 37}) {
        EXPECT_EQ(line.sensors.sensor(a).holding(4), 950) << a;
        EXPECT_FALSE(line.sensors.sensor(a).coil(2)) << a;
        EXPECT_EQ(line.sensors.sensor(a).holding(3), a) << "each keeps its location id";
    }
    EXPECT_EQ(line.sensors.sensor(20).holding(4), 800);
    for (const auto& r : line.heard()) EXPECT_NE(r.substr(0, 2), "00") << "never a broadcast";

    EXPECT_EQ(bus_summary(results, "1031"),
              "Adresse 1, Standortkennung 1: geschrieben und geprüft\n"
              "Adresse 5: keine Antwort (Kommunikationsprobleme, bitte Einstellungen überprüfen!)\n"
              "Adresse 20, Standortkennung 20: abgelehnt (Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 04 "
              "(Gerätefehler).)\n"
              "Adresse 37, Standortkennung 37: geschrieben und geprüft\n");
    // The report: one column before and one after per setting (no measured
    // values), every value of a sensor that was not written left empty.
    const std::string csv = bus_report_csv(results, ",");
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < csv.size(); at = csv.find('\n', at) + 1)
        rows.push_back(csv.substr(at, csv.find('\n', at) - at));
    ASSERT_EQ(rows.size(), 5u) << csv;
    EXPECT_TRUE(rows[0].starts_with("address,location_id,outcome,detail,txt_data_cfg(0) before,txt_data_cfg(0) after,"))
        << rows[0];
    EXPECT_EQ(std::count(rows[0].begin(), rows[0].end(), ','), 3 + 2 * 27);
    EXPECT_EQ(rows[0].find("txt_data_out"), std::string::npos) << "measured values are no settings";
    EXPECT_TRUE(rows[1].starts_with("1,1,verified,,4660,4660,105,105,0,0,1,1,950,950,")) << rows[1];
    EXPECT_EQ(rows[2],
              "5,,no answer,\"Kommunikationsprobleme, bitte Einstellungen überprüfen!\"" + std::string(2 * 27, ','));
    EXPECT_TRUE(
        rows[3].starts_with("20,20,refused,Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 04 (Gerätefehler).,"
                            "4660,,105,,0,,20,,800,,"))
        << rows[3];
    EXPECT_EQ(rows[4],
              "37,37,verified,,4660,4660,105,105,0,0,37,37,800,950,1200,1200,10,10,20,20,0,0,0,0,0,0,"
              "0,0,0,0,0,0,1,1,1,1,1,0,1,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0");
}

// Reading N sensors takes N whole reads and no more; "found" reads what a
// search of the line finds.
TEST(BusRun, ReadsEachSensorInNoMoreThanItsOwnRead) {
    Line line({1, 2, 3});
    const std::int64_t begun = line.clock.now_ms();
    const auto read = line.run(plan_of(BusPlan::Job::Read, {1}));
    const std::int64_t one_read = line.clock.now_ms() - begun;
    ASSERT_EQ(read[0].outcome, SensorOutcome::Read);

    const std::int64_t before_three = line.clock.now_ms();
    const auto three = line.run(plan_of(BusPlan::Job::Read, {1, 2, 3}));
    EXPECT_LE(line.clock.now_ms() - before_three, 3 * one_read + 3 * 2) << "one read is " << one_read << " ms";
    const std::string all_read =
        "address 1, location 1: read\naddress 2, location 2: read\naddress 3, location 3: read\n";
    EXPECT_EQ(bus_summary(three, "1033"), all_read);
    // --addresses found: the sensors a search of the line finds, then read.
    const auto found = line.run(bus_plan(parse_cli({"read", "--port", "sim", "--addresses", "found"}), {}));
    EXPECT_EQ(bus_summary(found, "1033"), all_read);
}

// A sensor set to answer slowly, after one that answers fast: the pace of
// the one before is not taken for the next.
TEST(BusRun, ASlowSensorAfterAFastOneIsWaitedFor) {
    Line line({1, 2});
    line.sensors.sensor(2).set_holding(7, 2500);
    const auto results = line.run(plan_of(BusPlan::Job::Read, {1, 2}));
    EXPECT_EQ(results[0].outcome, SensorOutcome::Read);
    EXPECT_EQ(results[1].outcome, SensorOutcome::Read) << results[1].detail;
}

TEST(BusReport, JsonAndCsvOfARead) {
    std::vector<SensorResult> results(2);
    results[0].target.address = 5;
    results[0].outcome = SensorOutcome::Read;
    results[0].before = {{"txt_data_cfg(3)", "Standortkennung:", "5"},
                         {"txt_data_cfg(8)", "Temperatur-Offset [K]:", "-0,5"},
                         {"chk_cfg(0)", "Raumtemperatur anzeigen:", "1", true}};
    results[1].target.address = 7;
    results[1].outcome = SensorOutcome::NoAnswer;
    results[1].detail = "Kommunikationsprobleme, bitte Einstellungen überprüfen!";
    EXPECT_EQ(
        bus_read_json(results),
        "[\n"
        "  {\"address\": 5, \"outcome\": \"read\", \"fields\": {\n"
        "    \"txt_data_cfg(3)\": {\"caption\": \"Standortkennung:\", \"value\": \"5\"},\n"
        "    \"txt_data_cfg(8)\": {\"caption\": \"Temperatur-Offset [K]:\", \"value\": \"-0,5\"},\n"
        "    \"chk_cfg(0)\": {\"caption\": \"Raumtemperatur anzeigen:\", \"value\": 1}\n"
        "  }},\n"
        "  {\"address\": 7, \"outcome\": \"no answer\", \"detail\": \"Kommunikationsprobleme, bitte Einstellungen "
        "überprüfen!\"}\n"
        "]\n");
    EXPECT_EQ(bus_read_json({}), "[]\n");
    EXPECT_EQ(bus_read_csv(results, ","),
              "address,outcome,txt_data_cfg(3),txt_data_cfg(8),chk_cfg(0)\n"
              "5,read,5,-0.5,1\n"
              "7,no answer,,,\n");
    EXPECT_EQ(bus_read_text(results),
              "5\ttxt_data_cfg(3)\tStandortkennung:\t5\n"
              "5\ttxt_data_cfg(8)\tTemperatur-Offset [K]:\t-0,5\n"
              "5\tchk_cfg(0)\tRaumtemperatur anzeigen:\t1\n");
    // With --json the data alone goes to standard output, the summary to standard error.
    CliOptions o = parse_cli({"read", "--port", "sim", "--addresses", "5,7", "--json"});
    const auto output = bus_output(o, results, "1031", ",");
    EXPECT_EQ(output.out, bus_read_json(results));
    EXPECT_EQ(output.err, bus_summary(results, "1031"));
    EXPECT_EQ(bus_summary(results, "1033"),
              "address 5, location 5: read\n"
              "address 7: no answer (Kommunikationsprobleme, bitte Einstellungen "
              "überprüfen!)\n");
}

}  // namespace
}  // namespace vor3::app
