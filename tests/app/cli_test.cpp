#include <gtest/gtest.h>

#include "app/cli_monitor.h"
#include "app/cli_read.h"
#include "app/cli_scan.h"
#include "app/cli_write.h"
#include "app/data_bits_port.h"
#include "app/read_report.h"
#include "support/cli.h"

namespace vor3::app {
namespace {

TEST(CliOptions, ParsesAndRefusesClearly) {
    const auto o = parse_cli({"read", "--port", "sim", "--mode", "ascii", "--data-bits", "8", "--address", "17",
                              "--baud", "57600", "--parity", "n", "--json"});
    EXPECT_EQ(o.port, "sim");
    EXPECT_EQ(o.mode, "ASCII");
    EXPECT_EQ(o.data_bits, 8);
    EXPECT_EQ(o.address, 17);
    EXPECT_EQ(o.baud, "57600");
    EXPECT_EQ(o.parity, 'N');
    EXPECT_TRUE(o.json);
    const std::vector<std::vector<std::string>> bad = {{},
                                                       {"read"},
                                                       {"flash", "--port", "x"},
                                                       {"read", "--port"},
                                                       {"read", "--port", "x", "--address", "64"},
                                                       {"read", "--port", "x", "--baud", "4800"},
                                                       {"read", "--port", "x", "--mode", "tcp"},
                                                       {"read", "--port", "x", "--data-bits", "9"},
                                                       {"read", "--port", "x", "--bogus"},
                                                       {"write", "--port", "x"},
                                                       {"read", "--port", "x", "a=1"},
                                                       {"monitor", "--port", "x", "--json"},
                                                       {"read", "--port", "x", "--count", "3"},
                                                       {"monitor", "--port", "x", "--count", "0"},
                                                       {"read", "--port", "x", "--give-up", "5"},
                                                       {"monitor", "--port", "x", "--give-up", "-1"},
                                                       {"read", "--port", "x", "--addresses", "0-3"},
                                                       {"read", "--port", "x", "--addresses", "5-2"},
                                                       {"monitor", "--port", "x", "--addresses", "1,2"},
                                                       {"read", "--port", "x", "--address", "2", "--addresses", "1"},
                                                       {"read", "--port", "x", "--csv", "--json"},
                                                       {"save", "--port", "x", "--csv", "f"},
                                                       {"read", "--port", "x", "--first"},
                                                       {"scan", "--port", "x", "--response-ms", "5000"},
                                                       {"save", "--port", "x"},
                                                       {"save", "--port", "x", "a.txt", "b.txt"},
                                                       {"read", "--port", "x", "--file", "a"},
                                                       {"write", "--port", "x", "--file"},
                                                       {"write", "--port", "x", "--file", ""},
                                                       {"save", "a.txt"}};
    for (const auto& args : bad) EXPECT_THROW(parse_cli(args), std::invalid_argument) << args.size();
    EXPECT_EQ(with_data_bits("9600,E,7,1", 8), "9600,E,8,1");
    EXPECT_EQ(parse_cli({"write", "--port", "x", "--addresses", "1-3,37", "a=1"}).addresses,
              (std::vector<int>{1, 2, 3, 37}));
    EXPECT_TRUE(parse_cli({"save", "--port", "x", "--addresses", "found", "dir"}).addresses_found);
    // save takes a file; write takes one with its flag, beside assignments or alone.
    EXPECT_EQ(parse_cli({"save", "--port", "x", "out.txt"}).file, "out.txt");
    const auto w = parse_cli({"write", "--port", "x", "--file", "in.txt", "chk_cfg(2)=0"});
    EXPECT_EQ(w.file, "in.txt");
    EXPECT_EQ(w.assignments, std::vector<std::string>{"chk_cfg(2)=0"});
    EXPECT_EQ(parse_cli({"write", "--port", "x", "--file", "in.txt"}).file, "in.txt");

    // A scan tries what is given and all of what is not.
    const auto all = scan_plan(parse_cli({"scan", "--port", "x"}));
    EXPECT_EQ(all.modes.size() * all.bauds.size() * all.parities.size(), 24u);
    const auto some = scan_plan(
        parse_cli({"scan", "--port", "x", "--baud", "19200", "--parity", "o", "--first", "--response-ms", "120"}));
    EXPECT_EQ(some.modes, (std::vector<std::string>{"RTU", "ASCII"}));
    EXPECT_EQ(some.bauds, (std::vector<std::string>{"19200"}));
    EXPECT_EQ(some.parities, (std::vector<char>{'O'}));
    EXPECT_TRUE(some.stop_at_first);
    EXPECT_EQ(some.min_response_ms, 120);
    // Over the network: a framing on a serial device server, a unit behind a gateway.
    const std::vector<ops::ScanFind> finds = {
        {{"ASCII", "19200", 'O'}, 37}, {{"RTU", "9600", 'N'}, 1, true}, {{"ASCII", "", '\0'}, 2}, {{"", "", '\0'}, 3}};
    EXPECT_EQ(format_finds(finds),
              "--mode ascii --baud 19200 --parity O --address 37\n"
              "--mode rtu --baud 9600 --parity N --address 1\n"
              "--mode ascii --address 2\n"
              "--address 3\n");
    EXPECT_EQ(format_finds_json(finds),
              "[\n  {\"mode\": \"ascii\", \"baud\": 19200, \"parity\": \"O\", \"address\": 37},\n"
              "  {\"mode\": \"rtu\", \"baud\": 9600, \"parity\": \"N\", \"address\": 1, \"conflict\": true},\n"
              "  {\"mode\": \"ascii\", \"address\": 2},\n  {\"address\": 3}\n]\n");
    EXPECT_EQ(conflict_notes(finds, "1033"),
              (std::vector<std::string>{
                  "RTU, 9600 baud, None, address 1 – two different answers: perhaps an address conflict"}));
    EXPECT_EQ(with_data_bits("bad", 8), "bad");
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

TEST(CliRead, FailuresGiveTheWindowsTextAndTheirExitStatus) {
    Cli silent;
    silent.sensor.faults().silent = true;
    CliOptions o;
    o.port = "sim";
    const auto outcome = silent.read(o);
    EXPECT_EQ(outcome, CliRead::Outcome::NoAnswer);
    EXPECT_EQ(CliRead::exit_status(outcome), 3);
    EXPECT_EQ(silent.failure, "Kommunikationsprobleme, bitte Einstellungen überprüfen!");

    Cli gone;
    gone.sim_port.set_vanished(true);
    const auto refused = gone.read(o);
    EXPECT_EQ(refused, CliRead::Outcome::PortFailed);
    EXPECT_EQ(CliRead::exit_status(refused), 2);
    EXPECT_EQ(gone.failure.rfind("COM-Port not available,  ", 0), 0u);

    Cli refusing;
    refusing.sensor.faults().exception_code = 1;
    EXPECT_EQ(refusing.read(o), CliRead::Outcome::NoAnswer);
    EXPECT_NE(refusing.failure.find("Modbus-Ausnahme 01"), std::string::npos);
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
    EXPECT_EQ(w.cli.sensor.holding(4), 900);
    EXPECT_EQ(w.cli.sensor.holding(0x200), 215);
    EXPECT_FALSE(w.cli.sensor.coil(2));
    EXPECT_FALSE(w.cli.sensor.coil(3));
    EXPECT_TRUE(w.cli.sensor.coil(0x101));
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
    EXPECT_EQ(rejected.outcome, CliWrite::Outcome::NoAnswer);
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

    // The register keeps only tenths: the field turns 21.55 into 21.6, so
    // the value is refused before anything is sent.
    WriteRun rounded;
    rounded.run({"txt_data_in(1)=21.55"});
    EXPECT_EQ(CliWrite::exit_status(rounded.outcome), 1);
    EXPECT_EQ(rounded.failure, "txt_data_in(1) macht aus \"21,55\" \"21,6\"");

    // A sensor that keeps a value of its own choosing: read back otherwise.
    WriteRun clamped;
    clamped.each_tick = [&] {
        if (clamped.cli.sensor.holding(4) == 900) clamped.cli.sensor.set_holding(4, 899);
    };
    clamped.run({"txt_data_cfg(4)=900"});
    EXPECT_EQ(clamped.outcome, CliWrite::Outcome::Differs);
    EXPECT_EQ(CliWrite::exit_status(clamped.outcome), 4);
    EXPECT_EQ(clamped.failure, "txt_data_cfg(4)\t900 -> 899");
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
    ASSERT_EQ(monitor.start(), CliMonitor::Outcome::Running);
    std::vector<std::string> lines, notes;
    auto outcome = CliMonitor::Outcome::Running;
    while (outcome == CliMonitor::Outcome::Running && cli.clock.now_ms() < 60000) {
        cli.clock.advance(10);
        if (lines.size() == 2) cli.sensor.faults().silent = true;
        if (notes.size() == 1) cli.sensor.faults().silent = false;
        outcome = monitor.poll(lines, notes);
    }
    EXPECT_EQ(outcome, CliMonitor::Outcome::Done);
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
        ASSERT_EQ(gives_up.start(), CliMonitor::Outcome::Running);
        lines.clear();
        notes.clear();
        outcome = CliMonitor::Outcome::Running;
        while (outcome == CliMonitor::Outcome::Running && dead.clock.now_ms() < 60000) {
            dead.clock.advance(10);
            outcome = gives_up.poll(lines, notes);
        }
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
