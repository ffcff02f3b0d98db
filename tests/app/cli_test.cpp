// The command line's verbs in-process, on the simulated sensor under the
// virtual clock: its options, read, write, save and write --file, monitor.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <tuple>

#include "app/cli_monitor.h"
#include "app/cli_read.h"
#include "app/cli_save.h"
#include "app/cli_scan.h"
#include "app/cli_write.h"
#include "app/read_report.h"
#include "sim/sim_test_support.h"
#include "support/cli.h"
#include "support/temp_dir.h"

namespace vor3::app {
namespace {

using test::Cli;

// The words of a command line as the shell splits them.
std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

TEST(CliOptions, ParsesAndRefusesClearly) {
    const auto o =
        parse_cli(words("read --port sim --mode ascii --data-bits 8 --address 17 --baud 57600 --parity n --json"));
    EXPECT_EQ(std::tie(o.port, o.mode, o.data_bits, o.address, o.baud, o.parity, o.json),
              std::make_tuple("sim", model::Framing::Ascii, 8, 17, "57600", 'N', true));
    for (const char* bad : {"read",
                            "flash --port x",
                            "read --port",
                            "read --port x --address 64",
                            "read --port x --data-bits 9",
                            "read --port x --bogus",
                            "write --port x",
                            "monitor --port x --json",
                            "monitor --port x --count 0",
                            "read --port x --give-up 5",
                            "read --port x --addresses 0-3",
                            "monitor --port x --addresses 1,2",
                            "read --port x --address 2 --addresses 1",
                            "save --port x --csv f",
                            "read --port x --first",
                            "scan --port x --response-ms 5000",
                            "save --port x",
                            "read --port x --file a",
                            "save a.txt",
                            "monitor --port x --pace answer",
                            "read --port x --pace fast"})
        EXPECT_THROW(parse_cli(words(bad)), std::invalid_argument) << bad;
    EXPECT_THROW(parse_cli({}), std::invalid_argument);
    EXPECT_THROW(parse_cli({"write", "--port", "x", "--file", ""}), std::invalid_argument);
    EXPECT_EQ(parse_cli(words("write --port x --addresses 1-3,37 a=1")).addresses, (std::vector<int>{1, 2, 3, 37}));
    EXPECT_TRUE(parse_cli(words("save --port x --addresses found dir")).addresses_found);
    // save takes a file; write takes one with its flag, beside assignments or alone.
    EXPECT_EQ(parse_cli(words("save --port x out.txt")).file, "out.txt");
    EXPECT_TRUE(parse_cli(words("save --port x --pace answer out.txt")).answer_paced);
    EXPECT_FALSE(parse_cli(words("read --port x --pace schedule")).answer_paced);
    const auto w = parse_cli(words("write --port x --file in.txt chk_cfg(2)=0"));
    EXPECT_EQ(std::tie(w.file, w.assignments), std::make_tuple("in.txt", std::vector<std::string>{"chk_cfg(2)=0"}));

    // A scan tries what is given and all of what is not.
    const auto all = scan_plan(parse_cli(words("scan --port x")));
    EXPECT_EQ(all.modes.size() * all.bauds.size() * all.parities.size(), 24u);
    const auto some = scan_plan(parse_cli(words("scan --port x --baud 19200 --parity o --first --response-ms 120")));
    EXPECT_EQ(std::tie(some.modes, some.bauds, some.parities, some.stop_at_first, some.min_response_ms),
              std::make_tuple(std::vector<std::string>{"RTU", "ASCII"}, std::vector<std::string>{"19200"},
                              std::vector<char>{'O'}, true, 120));
    // Over the network: a framing on a serial device server, a unit behind a gateway.
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

// A write tells the values refused before sending; the changes; or what
// went wrong, then the state of each value asked for.
struct WriteCase {
    const char* name;
    const char* command;
    int status;
    std::vector<std::string> told;
    std::size_t requests = 0;  // all the sensor heard; 0: not counted
    void (*sensor_meanwhile)(sim::SimulatedSensor&) = [](sim::SimulatedSensor&) {};
    const char* decimal = ",";     // the separator in force
    std::size_t interrupt_at = 0;  // Ctrl+C once the sensor has heard this many requests
};

// --file {saved}: the sensor's own values, saved from it first.
constexpr const char* kSaved = "{saved}";

const char* const kTwoAnswers =
    "Auf eine Anfrage kamen zwei verschiedene Antworten: Vielleicht haben zwei Geräte die Adresse 1. Die "
    "Übertragung wurde beendet.";

// From the write on, a repeater sends the configuration coils' answer
// again, ahead of the LED coils' answer of the same shape; the sensor keeps
// its LEDs off whatever it is sent. Answers leave `extra_ms` later than the
// sensor's own pace: the copy is read at a poll, the sensor's answer right
// behind it only after.
template <int extra_ms>
void late_coil_copy(sim::SimulatedSensor& s) {
    s.faults().late_coil_copy_from = s.requests().size() > 7 ? 0 : -1;
    s.faults().extra_delay_ms = extra_ms;
    for (int i = 0; i < 5; ++i) s.set_coil(0x100 + i, false);
}

const WriteCase kWrites[] = {
    {"values the fields refuse",
     "write --port sim txt_data_cfg(4)=9x txt_data_cfg(7)=3 txt_data_cfg(4)=4000 txt_data_out(0)=1 txt_data_cfg(0)=1 "
     "chk_cfg(7)=1 chk_cfg(1)=2 nothing(1)=1 txt_data_cfg(4)=800 txt_data_cfg(8)=-1.5 txt_data_in(1)=40,5",
     1,
     {"txt_data_cfg(4) nimmt \"x\" in \"9x\" nicht an", "txt_data_cfg(7) macht aus \"3\" \"5\"",
      "txt_data_cfg(4) macht aus \"4000\" \"3000\"", "txt_data_out(0) kann nicht geschrieben werden",
      "txt_data_cfg(0) kann nicht geschrieben werden", "chk_cfg(7) kann nicht geschrieben werden",
      "chk_cfg(1) nimmt nur 0 oder 1", "kein Feld nothing(1)"}},
    // Which of two values was meant cannot be known; one value given twice
    // (here with either separator) is taken.
    {"one field given two values",
     "write --port sim txt_data_cfg(5)=1300 txt_data_in(0)=-1.5 txt_data_cfg(5)=1400 txt_data_in(0)=-1,5",
     1,
     {"txt_data_cfg(5) ist zweimal angegeben, als \"1300\" und als \"1400\""}},
    // With "." in force a "," stands for it too; a field of whole units
    // takes no separator, so a thousands group is refused.
    {"a thousands group",
     "write --port sim txt_data_in(1)=40,5 txt_data_in(0)=-1.5 txt_data_cfg(4)=1,200",
     1,
     {"txt_data_cfg(4) nimmt \".\" in \"1.200\" nicht an"},
     0,
     [](sim::SimulatedSensor&) {},
     "."},
    // Only the two parts asked for go out, then one read-back.
    {"several parts",
     "write --port sim txt_data_cfg(4)=900 chk_cfg(2)=0 txt_data_in(0)=21.5 chk_cfg(3)=0 chk_inp_bit(1)=1",
     0,
     {"txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t800 -> 900", "txt_data_in(0)\tExterne Temperaturvorgabe:\t0 -> 21,5",
      "chk_cfg(2)\tCO2 anzeigen:\t1 -> 0", "chk_cfg(3)\tEinheit Raumtemperatur:\t1 -> 0",
      "chk_inp_bit(1)\tLED grün:\t0 -> 1"},
     7 + 5 + 6},
    {"several parts answer-paced",
     "write --port sim --pace answer txt_data_cfg(4)=900 chk_cfg(2)=0 txt_data_in(0)=21.5",
     0,
     {"txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t800 -> 900", "txt_data_in(0)\tExterne Temperaturvorgabe:\t0 -> 21,5",
      "chk_cfg(2)\tCO2 anzeigen:\t1 -> 0"},
     7 + 5 + 6},
    {"what the sensor already holds", "write --port sim txt_data_cfg(4)=800", 0, {}, 7},
    // The value named on the command line wins over the file's.
    {"a file overridden by a value named",
     "write --port sim --file {saved} txt_data_cfg(4)=900 txt_data_cfg(4)=900",
     0,
     {"txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t800 -> 900"}},
    // The read, then the refused block.
    {"refused by the sensor",
     "write --port sim txt_data_cfg(5)=1300",
     3,
     {"Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 03 (unzulässiger Datenwert).",
      "txt_data_cfg(5)=1300 nicht bestätigt, vielleicht nicht geschrieben"},
     7 + 1,
     [](sim::SimulatedSensor& s) { s.faults().refuse_writes = 3; }},
    {"silent after the first part",
     "write --port sim txt_data_cfg(4)=900 chk_cfg(3)=0 txt_data_in(2)=500 chk_inp_bit(1)=1",
     3,
     {"Kommunikationsprobleme, bitte Einstellungen überprüfen!", "txt_data_cfg(4)=900 vom Gerät bestätigt",
      "chk_cfg(3)=0 nicht bestätigt, vielleicht nicht geschrieben",
      "txt_data_in(2)=500 nicht bestätigt, vielleicht nicht geschrieben",
      "chk_inp_bit(1)=1 nicht bestätigt, vielleicht nicht geschrieben"},
     0,
     [](sim::SimulatedSensor& s) { s.faults().silent = s.holding(4) == 900; }},
    // A sensor that keeps a value of its own choosing: read back otherwise,
    // a value named or one the write carried back unchanged.
    {"read back otherwise",
     "write --port sim txt_data_cfg(4)=900",
     4,
     {"txt_data_cfg(4)\t900 -> 899"},
     0,
     [](sim::SimulatedSensor& s) {
         if (s.holding(4) == 900) s.set_holding(4, 899);
     }},
    {"a value carried back stored otherwise",
     "write --port sim txt_data_cfg(4)=900",
     4,
     {"txt_data_cfg(5)\t1200 -> 1201"},
     0,
     [](sim::SimulatedSensor& s) { s.faults().misstored_register = 5; }},
    // Ctrl+C: the block in flight is answered, then nothing more goes out.
    {"interrupted in the second block",
     "write --port sim txt_data_cfg(4)=900 txt_data_cfg(9)=1,5 chk_cfg(3)=0 txt_data_in(2)=500",
     3,
     {"Schreiben auf Abbruch angehalten.", "txt_data_cfg(4)=900 vom Gerät bestätigt",
      "txt_data_cfg(9)=1,5 vom Gerät bestätigt", "chk_cfg(3)=0 nicht bestätigt, vielleicht nicht geschrieben",
      "txt_data_in(2)=500 nicht bestätigt, vielleicht nicht geschrieben"},
     7 + 2,
     [](sim::SimulatedSensor&) {},
     ",",
     7 + 2},
    {"interrupted in the read",
     "write --port sim txt_data_cfg(4)=900",
     3,
     {"Auf Abbruch angehalten, bevor etwas geschrieben wurde."},
     3,
     [](sim::SimulatedSensor&) {},
     ",",
     3},
    // The copy (LED bits all on) is taken for the read-back of the LED
    // coils; the sensor's own answer right after it tells otherwise.
    {"a late copy in the read back",
     "write --port sim chk_inp_bit(0)=1",
     3,
     {kTwoAnswers, "chk_inp_bit(0)=1 vom Gerät bestätigt"},
     7 + 2 + 6,
     late_coil_copy<10>},
    {"a late copy in the answer-paced read back",
     "write --port sim --pace answer chk_inp_bit(0)=1",
     3,
     {kTwoAnswers, "chk_inp_bit(0)=1 vom Gerät bestätigt"},
     7 + 2 + 6,
     late_coil_copy<10>},
    {"a late copy in the ascii read back",
     "write --port sim --mode ascii chk_inp_bit(0)=1",
     3,
     {kTwoAnswers, "chk_inp_bit(0)=1 vom Gerät bestätigt"},
     7 + 2 + 6,
     late_coil_copy<38>},
};

void PrintTo(const WriteCase& k, std::ostream* os) { *os << k.name; }
class CliWriteRun : public ::testing::TestWithParam<WriteCase> {};

TEST_P(CliWriteRun, TellsWhatChangedOrWhatWentWrong) {
    const WriteCase& k = GetParam();
    Cli cli;
    CliOptions o = parse_cli(words(k.command));
    test::TempDir dir;
    if (o.file == kSaved) {
        Cli source;
        CliRead read(source.prog, source.msg, parse_cli(words("read --port sim")));
        ASSERT_EQ(source.run(read), CliRead::Outcome::Done);
        o.file = dir.file("saved.txt");
        ASSERT_EQ(save_through_menu(source.prog, source.msg, o.file), std::nullopt);
    }
    auto platform = cli.prog.g.platform;
    platform.locale_decimal_sep = k.decimal;
    if (const auto refused = CliWrite::check(o, platform); !refused.empty()) {
        EXPECT_EQ(k.status, 1);
        EXPECT_EQ(refused, k.told);
        return;
    }
    CliWrite write(cli.prog, cli.msg, o);
    const auto outcome = cli.run(write, [&] {
        k.sensor_meanwhile(cli.sensor());
        if (k.interrupt_at && cli.sensor().requests().size() == k.interrupt_at) write.stop();
    });
    EXPECT_EQ(CliWrite::exit_status(outcome), k.status) << write.failure_text();
    auto told = outcome == CliWrite::Outcome::Done ? write.changes() : write.differences();
    if (outcome != CliWrite::Outcome::Done && outcome != CliWrite::Outcome::Differs) {
        told = write.write_state();
        told.insert(told.begin(), write.failure_text());
    }
    EXPECT_EQ(told, k.told);
    if (k.requests) {
        EXPECT_EQ(cli.sensor().requests().size(), k.requests);
    }
}

INSTANTIATE_TEST_SUITE_P(Writes, CliWriteRun, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// A read's report, saved, then written back.
TEST(CliFiles, ReadSavedThenWrittenBackToTheSensorItWasReadFrom) {
    test::TempDir dir;
    CliOptions o = parse_cli({"save", "--port", "sim", "--mode", "ascii", dir.file("s.txt")});
    {
        Cli cli;
        cli.sensor().set_holding(3, 40000);
        cli.sensor().set_holding(5, 1500);
        cli.sensor().set_holding(8, 0xFFFB);
        CliRead read(cli.prog, cli.msg, o);
        ASSERT_EQ(cli.run(read), CliRead::Outcome::Done);
        EXPECT_EQ(cli.sim_port.settings().data_bits, 8);  // forced, though ASCII asks for 7
        const auto lines = read_report(cli.prog);
        ASSERT_EQ(lines.size(), 30u);
        const std::string text = format_text(lines), json = format_json(lines);
        for (const char* line :
             {"txt_data_cfg(3)\tStandortkennung:\t40000\n", "txt_data_cfg(8)\tTemperatur-Offset [K]:\t-0,5\n",
              "chk_cfg(0)\tRaumtemperatur anzeigen:\t1\n", "chk_inp_bit(4)\tAnsteuerung LED:\t0\n"})
            EXPECT_NE(text.find(line), std::string::npos) << line;
        EXPECT_NE(json.find("\"txt_data_cfg(3)\": {\"caption\": \"Standortkennung:\", \"value\": \"40000\"}"),
                  std::string::npos);
        EXPECT_NE(json.find("\"chk_cfg(0)\": {\"caption\": \"Raumtemperatur anzeigen:\", \"value\": 1}"),
                  std::string::npos);
        EXPECT_EQ(save_through_menu(cli.prog, cli.msg, dir.file("s.txt")), std::nullopt);
        // No one to ask whether to replace a read-only file: it is refused.
        const std::string kept = dir.write("kept.txt", "old");
        std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
        EXPECT_EQ(save_through_menu(cli.prog, cli.msg, kept),
                  "Die Parameterdatei „" + kept + "“ wurde nicht gespeichert: die Datei ist schreibgeschützt");
    }
    // A file with a value its field refuses is refused before sending.
    std::string file = dir.read("s.txt");
    const std::string bad = dir.write("bad.txt", std::string(file).replace(file.find(";1500"), 5, ";9500"));
    const auto why = CliWrite::check(parse_cli({"write", "--port", "sim", "--file", bad}));
    ASSERT_EQ(why.size(), 1u);
    EXPECT_NE(why[0].find("9500 liegt nicht zwischen 0 und 3000"), std::string::npos) << why[0];
    // A file saved from another sensor's address still writes the one the
    // link options name.
    file.replace(file.find("Adresse: 1"), 10, "Adresse: 7");
    dir.write("s.txt", file);
    Cli fresh;
    o = parse_cli({"write", "--port", "sim", "--file", dir.file("s.txt")});
    EXPECT_TRUE(CliWrite::check(o).empty());
    CliWrite write(fresh.prog, fresh.msg, o);
    EXPECT_EQ(fresh.run(write), CliWrite::Outcome::Done) << write.failure_text();
    EXPECT_EQ(fresh.prog.frm_config.txt_Modbus_adress.text(), "1");
    EXPECT_EQ(write.changes(), (std::vector<std::string>{"txt_data_cfg(3)\tStandortkennung:\t1 -> 40000",
                                                         "txt_data_cfg(5)\tSchaltschwelle rote LED:\t1200 -> 1500",
                                                         "txt_data_cfg(8)\tTemperatur-Offset [K]:\t0 -> -0,5"}));
}

// Polls `m` until it ends (a minute at most).
CliMonitor::Outcome poll(Cli& cli, CliMonitor& m, std::vector<std::string>& lines, std::vector<std::string>& notes,
                         const std::function<void()>& each_tick = {}) {
    auto outcome = m.start();
    while (outcome == CliMonitor::Outcome::Running && cli.clock.now_ms() < 60000) {
        cli.clock.advance(10);
        if (each_tick) each_tick();
        outcome = m.poll(lines, notes);
    }
    return outcome;
}

TEST(CliMonitor, OneLinePerReadingAndOnlyALongSilenceEndsIt) {
    Cli cli;
    CliMonitor monitor(cli.prog, cli.msg, parse_cli(words("monitor --port sim --count 4")));
    cli.sensor().set_holding(0x100, 0xFFFB);
    cli.sensor().set_holding(0x101, 515);
    cli.sensor().set_holding(0x102, 0xFFFF);
    std::vector<std::string> lines, notes;
    EXPECT_EQ(poll(cli, monitor, lines, notes,
                   [&] {
                       if (lines.size() == 2) cli.sensor().faults().silent = true;
                       if (notes.size() == 1) cli.sensor().faults().silent = false;
                   }),
              CliMonitor::Outcome::Done);
    EXPECT_EQ(lines, std::vector<std::string>(4, "2024-12-07T14:03:05.000,-0.5,51.5,65535"));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "Kommunikationsprobleme, bitte Einstellungen überprüfen!");

    // A silent or garbled sensor: the monitor gives up after the time given
    // (ten seconds unless said), or never with 0.
    struct GiveUp {
        const char* command;
        bool bad_checksum;
        int ends_s;
    } give_ups[] = {{"monitor --port sim", false, 10},
                    {"monitor --port sim --give-up 3", true, 3},
                    {"monitor --port sim --give-up 0", false, 0}};
    for (const auto& k : give_ups) {
        Cli dead;
        dead.sensor().faults().silent = !k.bad_checksum;
        dead.sensor().faults().bad_checksum = k.bad_checksum;
        CliMonitor gives_up(dead.prog, dead.msg, parse_cli(words(k.command)));
        std::vector<std::string> none, told;
        const auto outcome = poll(dead, gives_up, none, told);
        EXPECT_TRUE(none.empty());
        if (k.ends_s == 0) {
            EXPECT_EQ(outcome, CliMonitor::Outcome::Running);
            EXPECT_EQ(CliMonitor::exit_status(gives_up.stop()), 3) << "interrupted without a reading";
            continue;
        }
        EXPECT_EQ(CliMonitor::exit_status(outcome), 3);
        EXPECT_NEAR(dead.clock.now_ms(), k.ends_s * 1000, 10);
        EXPECT_EQ(told.empty() ? "" : told.back(),
                  "Seit " + std::to_string(k.ends_s) + " s kein gültiger Messwert; Abbruch.");
    }
}

}  // namespace
}  // namespace vor3::app
