#include <gtest/gtest.h>

#include "app/cli_read.h"
#include "app/data_bits_port.h"
#include "app/read_report.h"
#include "form/virtual_clock.h"
#include "sim/sim_port.h"
#include "support/fakes.h"

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
    const std::vector<std::vector<std::string>> bad = {
        {}, {"read"}, {"write", "--port", "x"}, {"read", "--port"}, {"read", "--port", "x", "--address", "64"},
        {"read", "--port", "x", "--baud", "4800"}, {"read", "--port", "x", "--mode", "tcp"},
        {"read", "--port", "x", "--data-bits", "9"}, {"read", "--port", "x", "--bogus"}};
    for (const auto& args : bad) EXPECT_THROW(parse_cli(args), std::invalid_argument) << args.size();
    EXPECT_EQ(with_data_bits("9600,E,7,1", 8), "9600,E,8,1");
    EXPECT_EQ(with_data_bits("bad", 8), "bad");
}

struct Cli {
    form::VirtualClock clock;
    sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
    sim::SimPort sim_port{clock, sensor};
    DataBitsPort port{sim_port, 8};
    CollectedMessages msg;
    NoConfirm confirm;
    Program prog{port, msg, confirm, clock};

    CliRead::Outcome run(const CliOptions& o) {
        CliRead read(prog, msg, o);
        auto outcome = read.start();
        while (outcome == CliRead::Outcome::Running && clock.now_ms() < 60000) {
            clock.advance(10);
            outcome = read.poll();
        }
        failure = read.failure_text();
        return outcome;
    }
    std::string failure;
};

TEST(CliRead, ReadsTheDeviceAndReportsEveryField) {
    Cli cli;
    cli.sensor.set_holding(3, 40000);
    cli.sensor.set_holding(8, 0xFFFB);
    CliOptions o;
    o.port = "sim";
    o.mode = "ASCII";
    ASSERT_EQ(cli.run(o), CliRead::Outcome::Done);
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
    const auto outcome = silent.run(o);
    EXPECT_EQ(outcome, CliRead::Outcome::NoAnswer);
    EXPECT_EQ(CliRead::exit_status(outcome), 3);
    EXPECT_EQ(silent.failure, "Kommunikationsprobleme, bitte Einstellungen überprüfen!");

    Cli gone;
    gone.sim_port.set_vanished(true);
    const auto refused = gone.run(o);
    EXPECT_EQ(refused, CliRead::Outcome::PortFailed);
    EXPECT_EQ(CliRead::exit_status(refused), 2);
    EXPECT_EQ(gone.failure.rfind("COM-Port not available,  ", 0), 0u);

    Cli refusing;
    refusing.sensor.faults().exception_code = 1;
    EXPECT_EQ(refusing.run(o), CliRead::Outcome::NoAnswer);
    EXPECT_NE(refusing.failure.find("Modbus-Ausnahme 01"), std::string::npos);
}

}  // namespace
}  // namespace vor3::app
