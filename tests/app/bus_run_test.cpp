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
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].outcome, SensorOutcome::Verified);
    EXPECT_EQ(results[1].outcome, SensorOutcome::NoAnswer);
    EXPECT_EQ(results[2].outcome, SensorOutcome::Refused);
    EXPECT_EQ(results[3].outcome, SensorOutcome::Verified);
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
    const std::string csv = bus_report_csv(results, ",");
    const std::string header = csv.substr(0, csv.find('\n') + 1);
    EXPECT_TRUE(header.starts_with("address,location_id,outcome,detail,txt_data_cfg(0) before,txt_data_cfg(0) after,"))
        << header;
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 3 + 2 * 27);
    EXPECT_NE(header.find(",txt_data_cfg(4) before,txt_data_cfg(4) after,"), std::string::npos);
    EXPECT_EQ(header.find("txt_data_out"), std::string::npos) << "measured values are no settings";
    auto row = [&](int n) {
        std::size_t at = 0;
        for (int i = 0; i < n; ++i) at = csv.find('\n', at) + 1;
        return csv.substr(at, csv.find('\n', at) - at);
    };
    EXPECT_TRUE(row(1).starts_with("1,1,verified,,4660,4660,105,105,0,0,1,1,950,950,")) << row(1);
    EXPECT_EQ(row(2),
              "5,,no answer,\"Kommunikationsprobleme, bitte Einstellungen überprüfen!\"" + std::string(2 * 27, ','));
    EXPECT_EQ(row(3),
              "20,20,refused,Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 04 (Gerätefehler).,"
              "4660,,105,,0,,20,,800,,1200,,10,,20,,0,,0,,0,,0,,0,,0,,1,,1,,1,,1,,1,,1,,1,,0,,0,,0,,0,,0,,0,");
    EXPECT_EQ(row(4),
              "37,37,verified,,4660,4660,105,105,0,0,37,37,800,950,1200,1200,10,10,20,20,0,0,0,0,0,0,"
              "0,0,0,0,0,0,1,1,1,1,1,0,1,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0");
}

// A run stopped in the middle finishes the sensor in progress and leaves
// the rest as they were; reading N sensors takes N whole reads and no
// more.
TEST(BusRun, StopsAfterTheSensorInProgressAndTakesNoLongerThanItsReads) {
    Line line({1, 2, 3});
    const std::int64_t begun = line.clock.now_ms();
    const auto read = line.run(plan_of(BusPlan::Job::Read, {1}));
    const std::int64_t one_read = line.clock.now_ms() - begun;
    ASSERT_EQ(read[0].outcome, SensorOutcome::Read);

    const std::int64_t before_three = line.clock.now_ms();
    const auto three = line.run(plan_of(BusPlan::Job::Read, {1, 2, 3}));
    for (const auto& r : three) EXPECT_EQ(r.outcome, SensorOutcome::Read);
    EXPECT_LE(line.clock.now_ms() - before_three, 3 * one_read + 3 * 2) << "one read is " << one_read << " ms";
    EXPECT_EQ(three[2].location_id(), "3");
    // --addresses found: the sensors a search of the line finds, then read.
    const auto found = line.run(bus_plan(parse_cli({"read", "--port", "sim", "--addresses", "found"}), {}));
    ASSERT_EQ(found.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(found[static_cast<std::size_t>(i)].target.address, i + 1);
        EXPECT_EQ(found[static_cast<std::size_t>(i)].outcome, SensorOutcome::Read);
    }

    BusPlan plan = plan_of(BusPlan::Job::Write, {1, 2, 3});
    plan.assignments = {"txt_data_cfg(5)=1500"};
    const auto heard_before = line.sensors.sensor(2).heard();
    const auto stopped = line.run(plan, [&](BusRun& bus) {
        if (line.sensors.sensor(2).heard() == heard_before + 3) bus.stop();
    });
    EXPECT_EQ(stopped[0].outcome, SensorOutcome::Verified);
    EXPECT_EQ(stopped[1].outcome, SensorOutcome::Verified) << "the sensor in progress is finished";
    EXPECT_EQ(stopped[2].outcome, SensorOutcome::NotDone);
    EXPECT_EQ(line.exit_status, 3);
    EXPECT_EQ(line.sensors.sensor(2).holding(5), 1500);
    EXPECT_EQ(line.sensors.sensor(3).holding(5), 1200);
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
