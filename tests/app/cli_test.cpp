#include <gtest/gtest.h>

#include <tuple>

#include "app/cli_monitor.h"
#include "app/cli_read.h"
#include "app/cli_scan.h"
#include "app/cli_write.h"
#include "app/read_report.h"
#include "support/cli.h"

namespace vor3::app {
namespace {

TEST(CliOptions, ParsesAndRefusesClearly) {
    const auto o = parse_cli({"read", "--port", "sim", "--mode", "ascii", "--data-bits", "8", "--address", "17",
                              "--baud", "57600", "--parity", "n", "--json"});
    EXPECT_EQ(std::tie(o.port, o.mode, o.data_bits, o.address, o.baud, o.parity, o.json),
              std::make_tuple("sim", "ASCII", 8, 17, "57600", 'N', true));
    const std::vector<std::vector<std::string>> bad = {{},
                                                       {"read"},
                                                       {"flash", "--port", "x"},
                                                       {"read", "--port"},
                                                       {"read", "--port", "x", "--address", "64"},
                                                       {"read", "--port", "x", "--data-bits", "9"},
                                                       {"read", "--port", "x", "--bogus"},
                                                       {"write", "--port", "x"},
                                                       {"monitor", "--port", "x", "--json"},
                                                       {"monitor", "--port", "x", "--count", "0"},
                                                       {"read", "--port", "x", "--give-up", "5"},
                                                       {"read", "--port", "x", "--addresses", "0-3"},
                                                       {"monitor", "--port", "x", "--addresses", "1,2"},
                                                       {"read", "--port", "x", "--address", "2", "--addresses", "1"},
                                                       {"save", "--port", "x", "--csv", "f"},
                                                       {"read", "--port", "x", "--first"},
                                                       {"scan", "--port", "x", "--response-ms", "5000"},
                                                       {"save", "--port", "x"},
                                                       {"read", "--port", "x", "--file", "a"},
                                                       {"write", "--port", "x", "--file", ""},
                                                       {"save", "a.txt"}};
    for (const auto& args : bad) EXPECT_THROW(parse_cli(args), std::invalid_argument) << args.size();
    EXPECT_EQ(parse_cli({"write", "--port", "x", "--addresses", "1-3,37", "a=1"}).addresses,
              (std::vector<int>{1, 2, 3, 37}));
    EXPECT_TRUE(parse_cli({"save", "--port", "x", "--addresses", "found", "dir"}).addresses_found);
    // save takes a file; write takes one with its flag, beside assignments or alone.
    EXPECT_EQ(parse_cli({"save", "--port", "x", "out.txt"}).file, "out.txt");
    const auto w = parse_cli({"write", "--port", "x", "--file", "in.txt", "chk_cfg(2)=0"});
    EXPECT_EQ(std::tie(w.file, w.assignments), std::make_tuple("in.txt", std::vector<std::string>{"chk_cfg(2)=0"}));

    // A scan tries what is given and all of what is not.
    const auto all = scan_plan(parse_cli({"scan", "--port", "x"}));
    EXPECT_EQ(all.modes.size() * all.bauds.size() * all.parities.size(), 24u);
    const auto some = scan_plan(
        parse_cli({"scan", "--port", "x", "--baud", "19200", "--parity", "o", "--first", "--response-ms", "120"}));
    EXPECT_EQ(std::tie(some.modes, some.bauds, some.parities, some.stop_at_first, some.min_response_ms),
              std::make_tuple(std::vector<std::string>{"RTU", "ASCII"}, std::vector<std::string>{"19200"},
                              std::vector<char>{'O'}, true, 120));
    // Over the network: a framing on a serial device server, a unit behind
    // a gateway. (The text form of finds is met by the process tests.)
    const std::vector<ops::ScanFind> finds = {
        {{"ASCII", "19200", 'O'}, 37}, {{"RTU", "9600", 'N'}, 1, true}, {{"ASCII", "", '\0'}, 2}, {{"", "", '\0'}, 3}};
    EXPECT_EQ(format_finds_json(finds),
              "[\n  {\"mode\": \"ascii\", \"baud\": 19200, \"parity\": \"O\", \"address\": 37},\n"
              "  {\"mode\": \"rtu\", \"baud\": 9600, \"parity\": \"N\", \"address\": 1, \"conflict\": true},\n"
              "  {\"mode\": \"ascii\", \"address\": 2},\n  {\"address\": 3}\n]\n");
    EXPECT_EQ(conflict_notes(finds, "1033"),
              (std::vector<std::string>{
                  "RTU, 9600 baud, None, address 1 – two different answers: perhaps an address conflict"}));
}

using test::Cli;

TEST(CliRead, ReadsTheDeviceAndReportsEveryField) {
    Cli cli;
    cli.sensor.set_holding(3, 40000);
    cli.sensor.set_holding(8, 0xFFFB);
    CliOptions o;
    o.port = "sim";
    o.mode = "ASCII";
    ASSERT_EQ(cli.read(o), CliRead::Outcome::Done);
    EXPECT_EQ(cli.sim_port.settings().data_bits, 8);  // forced, though ASCII asks for 7
    const auto lines = read_report(cli.prog);
    ASSERT_EQ(lines.size(), 30u);
    const std::string text = format_text(lines);
    EXPECT_NE(text.find("txt_data_cfg(3)\tStandortkennung:\t40000\n"), std::string::npos);
    EXPECT_NE(text.find("txt_data_cfg(8)\tTemperatur-Offset [K]:\t-0,5\n"), std::string::npos);
    EXPECT_NE(text.find("chk_cfg(0)\tRaumtemperatur anzeigen:\t1\n"), std::string::npos);
    EXPECT_NE(text.find("chk_inp_bit(4)\tAnsteuerung LED:\t0\n"), std::string::npos);
    const std::string json = format_json(lines);
    EXPECT_NE(json.find("\"txt_data_cfg(3)\": {\"caption\": \"Standortkennung:\", \"value\": \"40000\"}"),
              std::string::npos);
    EXPECT_NE(json.find("\"chk_cfg(0)\": {\"caption\": \"Raumtemperatur anzeigen:\", \"value\": 1}"),
              std::string::npos);
}

struct WriteRun {
    Cli cli;
    CliWrite::Outcome outcome = CliWrite::Outcome::Running;
    std::vector<std::string> changes;
    std::vector<std::string> state;  // after a write cut short
    std::string failure;

    std::function<void()> each_tick;

    void run(std::vector<std::string> assignments) {
        CliOptions o;
        o.port = "sim";
        o.command = "write";
        o.assignments = std::move(assignments);
        CliWrite write(cli.prog, cli.msg, o);
        outcome = cli.run(write, each_tick);
        changes = write.changes();
        state = write.write_state();
        failure = outcome == CliWrite::Outcome::Differs ? write.differences().at(0) : write.failure_text();
    }
};

TEST(CliWrite, WritesWhatIsAskedAndSaysWhatChanged) {
    WriteRun w;
    w.run({"txt_data_cfg(4)=900", "chk_cfg(2)=0", "txt_data_in(0)=21.5", "chk_cfg(3)=0", "chk_inp_bit(1)=1"});
    ASSERT_EQ(w.outcome, CliWrite::Outcome::Done) << w.failure;
    EXPECT_EQ(CliWrite::exit_status(w.outcome), 0);
    const auto& s = w.cli.sensor;
    EXPECT_EQ(std::make_tuple(s.holding(4), s.holding(0x200), s.coil(2), s.coil(3), s.coil(0x101)),
              std::make_tuple(900, 215, false, false, true));
    EXPECT_EQ(w.changes,
              (std::vector<std::string>{
                  "txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t800 -> 900",
                  "txt_data_in(0)\tExterne Temperaturvorgabe:\t0 -> 21,5", "chk_cfg(2)\tCO2 anzeigen:\t1 -> 0",
                  "chk_cfg(3)\tEinheit Raumtemperatur:\t1 -> 0", "chk_inp_bit(1)\tLED grün:\t0 -> 1"}));
    // Only the two parts asked for went out, then one read-back.
    EXPECT_EQ(w.cli.sensor.requests().size(), 7u + 5u + 6u);

    WriteRun same;  // values the device already holds: nothing to write
    same.run({"txt_data_cfg(4)=800"});
    EXPECT_EQ(same.outcome, CliWrite::Outcome::Done);
    EXPECT_EQ(same.cli.sensor.requests().size(), 7u);
}

TEST(CliWrite, RefusedValuesAreNamedBeforeAnythingIsSent) {
    CliOptions o;
    o.assignments = {"txt_data_cfg(4)=9x",  "txt_data_cfg(7)=3",    "txt_data_cfg(4)=4000", "txt_data_out(0)=1",
                     "txt_data_cfg(0)=1",   "chk_cfg(7)=1",         "chk_cfg(1)=2",         "nothing(1)=1",
                     "txt_data_cfg(4)=800", "txt_data_cfg(8)=-1.5", "txt_data_in(1)=40,5"};
    const auto refused = CliWrite::check(o);
    ASSERT_EQ(refused.size(), 8u);
    EXPECT_EQ(refused[0], "txt_data_cfg(4) nimmt \"x\" in \"9x\" nicht an");
    EXPECT_EQ(refused[1], "txt_data_cfg(7) macht aus \"3\" \"5\"");
    EXPECT_EQ(refused[2], "txt_data_cfg(4) macht aus \"4000\" \"3000\"");
    EXPECT_EQ(refused[7], "kein Feld nothing(1)");

    // With "." in force a "," stands for it too; a field of whole units
    // takes no separator, so a thousands group is refused before anything
    // is sent.
    model::PlatformSettings dotted;
    dotted.locale_decimal_sep = ".";
    o.assignments = {"txt_data_in(1)=40,5", "txt_data_in(0)=-1.5", "txt_data_cfg(4)=1,200"};
    EXPECT_EQ(CliWrite::check(o, dotted),
              std::vector<std::string>{"txt_data_cfg(4) nimmt \".\" in \"1.200\" nicht an"});
}

TEST(CliWrite, ARejectedWriteAndADifferentReadBackAreFailures) {
    // The sensor refuses the write: the exception is reported, exit 3.
    WriteRun rejected;
    rejected.cli.sensor.faults().refuse_writes = 3;
    rejected.run({"txt_data_cfg(5)=1300"});
    EXPECT_EQ(CliWrite::exit_status(rejected.outcome), 3);
    EXPECT_NE(rejected.failure.find("Modbus-Ausnahme 03"), std::string::npos) << rejected.failure;
    EXPECT_EQ(rejected.cli.sensor.holding(5), 1200);
    EXPECT_EQ(rejected.cli.sensor.requests().size(), 7u + 1u);  // the read, then the refused block
    EXPECT_EQ(rejected.state,
              std::vector<std::string>{"txt_data_cfg(5)=1300 nicht bestätigt, vielleicht nicht geschrieben"});

    // The sensor falls silent after confirming the configuration: the
    // script is told which values reached it and which did not.
    WriteRun cut;
    cut.each_tick = [&] {
        if (cut.cli.sensor.holding(4) == 900) cut.cli.sensor.faults().silent = true;
    };
    cut.run({"txt_data_cfg(4)=900", "chk_cfg(3)=0", "txt_data_in(2)=500", "chk_inp_bit(1)=1"});
    EXPECT_EQ(CliWrite::exit_status(cut.outcome), 3);
    EXPECT_EQ(cut.state, (std::vector<std::string>{"txt_data_cfg(4)=900 vom Gerät bestätigt",
                                                   "chk_cfg(3)=0 nicht bestätigt, vielleicht nicht geschrieben",
                                                   "txt_data_in(2)=500 nicht bestätigt, vielleicht nicht geschrieben",
                                                   "chk_inp_bit(1)=1 nicht bestätigt, vielleicht nicht geschrieben"}));

    // A sensor that keeps a value of its own choosing: read back otherwise.
    WriteRun clamped;
    clamped.each_tick = [&] {
        if (clamped.cli.sensor.holding(4) == 900) clamped.cli.sensor.set_holding(4, 899);
    };
    clamped.run({"txt_data_cfg(4)=900"});
    EXPECT_EQ(CliWrite::exit_status(clamped.outcome), 4);
    EXPECT_EQ(clamped.failure, "txt_data_cfg(4)\t900 -> 899");
}

// Polls `monitor` until it ends or a minute has passed; `each_tick` may act
// in between, as the sensor would.
CliMonitor::Outcome poll(
    Cli& cli, CliMonitor& monitor, std::vector<std::string>& lines, std::vector<std::string>& notes,
    const std::function<void()>& each_tick = [] {}) {
    auto outcome = monitor.start();
    while (outcome == CliMonitor::Outcome::Running && cli.clock.now_ms() < 60000) {
        cli.clock.advance(10);
        each_tick();
        outcome = monitor.poll(lines, notes);
    }
    return outcome;
}

TEST(CliMonitor, OneLinePerReadingAndOnlyALongSilenceEndsIt) {
    Cli cli;
    CliOptions o;
    o.port = "sim";
    o.command = "monitor";
    o.count = 4;
    CliMonitor monitor(cli.prog, cli.msg, o);
    cli.sensor.set_holding(0x100, 0xFFFB);
    cli.sensor.set_holding(0x101, 515);
    cli.sensor.set_holding(0x102, 0xFFFF);
    std::vector<std::string> lines, notes;
    EXPECT_EQ(poll(cli, monitor, lines, notes,
                   [&] {
                       if (lines.size() == 2) cli.sensor.faults().silent = true;
                       if (notes.size() == 1) cli.sensor.faults().silent = false;
                   }),
              CliMonitor::Outcome::Done);
    EXPECT_EQ(lines, (std::vector<std::string>{"T0,-0.5,51.5,65535", "T1,-0.5,51.5,65535", "T2,-0.5,51.5,65535",
                                               "T3,-0.5,51.5,65535"}));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "Kommunikationsprobleme, bitte Einstellungen überprüfen!");

    // A silent or garbled sensor: the monitor gives up after the time given
    // (ten seconds unless said), or never with 0.
    struct GiveUp {
        std::optional<int> seconds;
        bool bad_checksum;
        std::int64_t ends_ms;
    } give_ups[] = {{std::nullopt, false, 10000}, {3, true, 3000}, {0, false, -1}};
    for (const auto& k : give_ups) {
        Cli dead;
        dead.sensor.faults().silent = !k.bad_checksum;
        dead.sensor.faults().bad_checksum = k.bad_checksum;
        o.give_up_s = k.seconds;
        CliMonitor gives_up(dead.prog, dead.msg, o);
        lines.clear();
        notes.clear();
        const auto outcome = poll(dead, gives_up, lines, notes);
        if (k.ends_ms < 0) {
            EXPECT_EQ(outcome, CliMonitor::Outcome::Running);
            EXPECT_EQ(CliMonitor::exit_status(gives_up.stop()), 3) << "interrupted without a reading";
            continue;
        }
        EXPECT_EQ(CliMonitor::exit_status(outcome), 3);
        EXPECT_NEAR(dead.clock.now_ms(), k.ends_ms, 10);
        EXPECT_TRUE(lines.empty());
        ASSERT_FALSE(notes.empty());
        EXPECT_EQ(notes.back(), "Seit " + std::to_string(k.ends_ms / 1000) + " s kein gültiger Messwert; Abbruch.");
    }
}

}  // namespace
}  // namespace vor3::app
