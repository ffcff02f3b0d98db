// The command line's program over a line of simulated sensors, one after
// another.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/bus_report.h"
#include "app/cli_bus.h"
#include "app/cli_save.h"
#include "support/cli.h"
#include "support/temp_dir.h"

namespace vor3::app {
namespace {

using test::Cli;

BusPlan plan_of(BusPlan::Job job, std::vector<int> addresses) {
    CliOptions o;
    o.command = job == BusPlan::Job::Write ? "write" : "read";
    return bus_plan(o, addresses);
}

// A file saved from one sensor, with one value named over it, written to
// a line of four, one of them silent, one refusing and one storing a value
// otherwise: the report says it all, value by value.
TEST(BusRun, WritesAFileToEverySensorItCanAndReportsEach) {
    test::TempDir dir;
    Cli line({1, 5, 20, 37});
    line.sensor(1).set_holding(4, 950);
    line.sensor(1).set_coil(2, false);
    ASSERT_EQ(line.run_line(plan_of(BusPlan::Job::Read, {1}))[0].outcome, SensorOutcome::Read);
    ASSERT_EQ(save_through_menu(line.prog, line.msg, dir.file("one.txt")), std::nullopt);

    line.sensor(5).faults().silent = true;
    line.sensor(20).faults().refuse_writes = 4;
    line.sensor(37).faults().misstored_register = 0x201;
    BusPlan plan = plan_of(BusPlan::Job::Write, {1, 5, 20, 37});
    plan.file = dir.file("one.txt");
    plan.assignments = {"txt_data_cfg(4)=960", "txt_data_in(0)=21,5"};
    const auto results = line.run_line(plan);
    EXPECT_EQ(line.exit_status, 4);
    for (const auto& r : line.sensor(37).requests()) EXPECT_NE(r.substr(0, 2), "00") << "never a broadcast";

    // Before and after per setting, each keeping its location id.
    const std::string csv = bus_report_csv(results, ",");
    EXPECT_TRUE(csv.starts_with("address,location_id,outcome,detail,txt_data_cfg(0) before,txt_data_cfg(0) after,"));
    EXPECT_EQ(csv.find("txt_data_out"), std::string::npos) << "measured values are no settings";
    for (const std::string& row :
         {std::string("\n1,1,verified,,4660,4660,105,105,0,0,1,1,950,960,"),
          "\n5,,no answer,\"Kommunikationsprobleme, bitte Einstellungen überprüfen!\"" + std::string(2 * 27, ',') +
              "\n",
          std::string("\n20,20,refused,Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 04 (Gerätefehler).,"
                      "4660,,105,,0,,20,,800,,"),
          std::string(
              "\n37,37,differs,\"txt_data_in(1): 0 -> 0,1\",4660,4660,105,105,0,0,37,37,800,960,1200,1200,"
              "10,10,20,20,0,0,0,0,0,0,0,21.5,0,0.1,0,0,1,1,1,1,1,0,1,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0\n")})
        EXPECT_NE(csv.find(row), std::string::npos) << row << "\n" << csv;
}

// N sensors take N whole reads and no more; a slow sensor after a fast one
// is waited for; with --json the data goes to standard output, the summary
// to standard error.
TEST(BusRun, ReadsEachSensorInNoMoreThanItsOwnReadAndReportsIt) {
    Cli line({1, 2, 3});
    line.sensor(2).set_holding(8, 0xFFFB);
    const std::int64_t begun = line.clock.now_ms();
    ASSERT_EQ(line.run_line(plan_of(BusPlan::Job::Read, {1}))[0].outcome, SensorOutcome::Read);
    const std::int64_t one_read = line.clock.now_ms() - begun;

    const std::int64_t before_three = line.clock.now_ms();
    const auto three = line.run_line(plan_of(BusPlan::Job::Read, {1, 2, 3}));
    EXPECT_LE(line.clock.now_ms() - before_three, 3 * one_read + 3 * 2) << "one read is " << one_read << " ms";
    const std::string all_read =
        "address 1, location 1: read\naddress 2, location 2: read\naddress 3, location 3: read\n";
    EXPECT_EQ(bus_summary(three, "1033"), all_read);
    const auto found = line.run_line(bus_plan(parse_cli({"read", "--port", "sim", "--addresses", "found"}), {}));
    EXPECT_EQ(bus_summary(found, "1033"), all_read);

    line.sensor(2).set_holding(7, 2500);
    line.sensor(3).faults().silent = true;
    const auto results = line.run_line(plan_of(BusPlan::Job::Read, {1, 2, 3}));
    const auto output =
        bus_output(parse_cli({"read", "--port", "sim", "--addresses", "1-3", "--json"}), results, "1031", ",");
    EXPECT_EQ(output.err,
              "Adresse 1, Standortkennung 1: gelesen\nAdresse 2, Standortkennung 2: gelesen\n"
              "Adresse 3: keine Antwort (Kommunikationsprobleme, bitte Einstellungen überprüfen!)\n");
    EXPECT_NE(output.out.find("[\n  {\"address\": 1, \"outcome\": \"read\", \"fields\": {\n"
                              "    \"txt_data_cfg(0)\": {\"caption\": \"Gerätecodierung:\", \"value\": \"4660\"},\n"),
              std::string::npos)
        << output.out;
    EXPECT_NE(
        output.out.find("    \"txt_data_cfg(8)\": {\"caption\": \"Temperatur-Offset [K]:\", \"value\": \"-0,5\"},\n"),
        std::string::npos);
    EXPECT_TRUE(
        output.out.ends_with("  }},\n  {\"address\": 3, \"outcome\": \"no answer\", \"detail\": "
                             "\"Kommunikationsprobleme, bitte Einstellungen überprüfen!\"}\n]\n"))
        << output.out;
    const std::string csv = bus_read_csv(results, ",");
    EXPECT_TRUE(csv.starts_with("address,outcome,txt_data_cfg(0),txt_data_cfg(1),")) << csv;
    EXPECT_NE(csv.find("\n2,read,4660,105,0,2,800,1200,10,2500,-0.5,"), std::string::npos) << csv;
    EXPECT_TRUE(csv.ends_with("\n3,no answer" + std::string(30, ',') + "\n")) << csv;
    EXPECT_NE(bus_read_text(results).find("\n2\ttxt_data_cfg(8)\tTemperatur-Offset [K]:\t-0,5\n"), std::string::npos);
}

// save --addresses writes one file per sensor under a name anyone can
// foresee: in a shared sticky folder, another user's link planted under one
// of those names creates nothing where it leads, and that sensor alone is
// reported as not stored.
TEST(BusRun, SavesEachSensorToItsOwnFileAndNoneThroughAnotherUsersLink) {
    test::TempDir dir;
    Cli line({1, 5});
    CliOptions o;
    o.command = "save";
    o.file = dir.text();
    const BusPlan plan = bus_plan(o, {1, 5});
    auto outcomes = [&] {
        std::vector<SensorOutcome> all;
        for (const auto& r : line.run_line(plan)) all.push_back(r.outcome);
        return all;
    };
    EXPECT_EQ(outcomes(), (std::vector{SensorOutcome::Saved, SensorOutcome::Saved}));
    EXPECT_NE(dir.read("address05_location5.txt").find("Adresse: 5\r\n"), std::string::npos);

#ifdef _WIN32
    GTEST_SKIP() << "no sticky shared folders nor links of another owner on Windows";
#else
    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to plant (lchown)";
    ::chmod(dir.path.c_str(), 01777);
    std::filesystem::create_directory(dir.path / "root-only");
    const std::string planted = dir.file("address05_location5.txt"), lead = dir.file("root-only/made.txt");
    std::filesystem::remove(planted);
    std::filesystem::create_symlink(lead, planted);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    const auto results = line.run_line(plan);
    EXPECT_EQ(results[0].outcome, SensorOutcome::Saved);
    EXPECT_EQ(results[1].outcome, SensorOutcome::NotStored);
    EXPECT_NE(results[1].detail.find("symbolische Verknüpfung eines anderen Benutzers"), std::string::npos)
        << results[1].detail;
    EXPECT_EQ(line.exit_status, 1);
    EXPECT_FALSE(std::filesystem::exists(lead));
#endif
}

}  // namespace
}  // namespace vor3::app
