// The real port adapter and the command-line tool against the simulated
// sensor on a pseudo-terminal. Linux pseudo-terminals refuse parity and 7
// data bits, so these runs use parity None and 8 data bits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

#include <locale.h>
#include <pty.h>
#include <unistd.h>

#include "app/program.h"
#include "app/read_report.h"
#include "cli_install.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"
#include "sensor_process.h"
#include "window_on_port.h"
#include "sim/sim_test_support.h"
#include "support/fakes.h"

namespace vor3::test {
namespace {

// The tool as installed in German with a comma, whatever the build's own
// settings say.
CliRun run_cli(const QStringList& args) {
    static const CliInstall german;
    return german.run(args);
}

TEST(PseudoTerminal, TheSerialPortAdapterReadsTheWholeDevice) {
    SensorProcess sensor;
    ASSERT_FALSE(sensor.device().empty());
    WindowOnPort w(sensor.device());
    auto& f = w.prog.frm_config;
    f.Combo_Port(2).set_list_index(0);  // None
    f.Combo_Port(6).set_list_index(1);
    ASSERT_TRUE(w.port.is_open()) << (w.msg.shown.empty() ? "" : w.msg.shown[0]);
    EXPECT_TRUE(w.read_device());
    EXPECT_FALSE(w.prog.frmState.loaded());
    EXPECT_TRUE(w.msg.shown.empty());
    EXPECT_FALSE(f.lbl_desc(16).visible());
    EXPECT_EQ(f.txt_data_cfg(0).text(), "4660");
    EXPECT_EQ(f.txt_data_cfg(7).text(), "20");
    EXPECT_EQ(f.chk_cfg(0).value(), 1);
    EXPECT_FALSE(f.txt_data_out(2).text().empty());
}

TEST(PseudoTerminal, TheCommandLineReadsInBothFramings) {
    struct Case { QStringList sensor_args, cli_args; } cases[] = {
        {{}, {"--parity", "N"}},
        {{"--mode", "ascii", "--address", "17"}, {"--parity", "N", "--mode", "ascii", "--data-bits", "8", "--address", "17"}},
    };
    for (const auto& k : cases) {
        SensorProcess sensor(k.sensor_args);
        ASSERT_FALSE(sensor.device().empty());
        const auto r = run_cli(QStringList{"read", "--port", QString::fromStdString(sensor.device())} + k.cli_args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("txt_data_cfg(0)\tGerätecodierung:\t4660\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("chk_cfg(7)\tFeuchteanzeige mit RH:\t0\n"), std::string::npos);
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 30);
    }
    // --trace: the frames of the read, each way, on standard error.
    SensorProcess sensor;
    const auto traced = run_cli({"read", "--port", QString::fromStdString(sensor.device()), "--parity", "N", "--trace"});
    EXPECT_EQ(traced.status, 0);
    const auto lines = QString::fromStdString(traced.err).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14) << traced.err;
    EXPECT_TRUE(lines[0].endsWith("TX  01 03 00 06 00 01 64 0B  Adr. 1: Register 0x0006 lesen")) << traced.err;
    EXPECT_TRUE(lines[13].contains("RX  01 01 01 00 51 88  Adr. 1: Coils 00000000")) << traced.err;
}

TEST(PseudoTerminal, TheCommandLineWritesAndPolls) {
    SensorProcess sensor({"--mode", "ascii"});
    ASSERT_FALSE(sensor.device().empty());
    const QStringList link = {"--port", QString::fromStdString(sensor.device()), "--parity", "N", "--mode", "ascii",
                              "--data-bits", "8"};
    const auto written = run_cli(QStringList{"write"} + link +
                                 QStringList{"txt_data_cfg(4)=950", "txt_data_cfg(9)=-1.5", "chk_inp_bit(1)=1"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out,
              "txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t800 -> 950\n"
              "txt_data_cfg(9)\tFeuchte-Offset [%]:\t0 -> -1,5\n"
              "chk_inp_bit(1)\tLED grün:\t0 -> 1\n");

    // A value the field would correct: refused, nothing sent.
    const auto refused = run_cli(QStringList{"write"} + link + QStringList{"txt_data_cfg(4)=1", "txt_data_cfg(5)=4000"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "vor3-cli: txt_data_cfg(5) macht aus \"4000\" \"3000\"\n");

    // The sensor refuses writes: the refusal is told, nothing changed.
    {
        SensorProcess refusing({"--mode", "ascii", "--refuse-writes", "3"});
        const QStringList to_refusing = {"--port", QString::fromStdString(refusing.device()), "--parity", "N",
                                         "--mode", "ascii", "--data-bits", "8"};
        const auto rejected = run_cli(QStringList{"write"} + to_refusing + QStringList{"txt_data_cfg(4)=950"});
        EXPECT_EQ(rejected.status, 3);
        EXPECT_NE(rejected.err.find("Modbus-Ausnahme 03"), std::string::npos) << rejected.err;
        const auto unchanged = run_cli(QStringList{"read"} + to_refusing);
        EXPECT_NE(unchanged.out.find("txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t800\n"), std::string::npos);
    }

    const auto read = run_cli(QStringList{"read"} + link);
    EXPECT_NE(read.out.find("txt_data_cfg(4)\tSchaltschwelle gelbe LED:\t950\n"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("chk_inp_bit(1)\tLED grün:\t1\n"), std::string::npos);

    const auto polled = run_cli(QStringList{"monitor"} + link + QStringList{"--count", "3"});
    EXPECT_EQ(polled.status, 0) << polled.err;
    const auto lines = QString::fromStdString(polled.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << polled.out;
    EXPECT_EQ(lines[0], "time,temperature_c,humidity_rh,co2_ppm");
    // 2026-12-06T14:03:22.123,21.5,48.4,786
    const QRegularExpression reading(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3},-?\d+(\.\d)?,-?\d+(\.\d)?,\d+$)");
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(reading.match(lines[i]).hasMatch()) << lines[i].toStdString();
}

// A pseudo-terminal carries 8 data bits and no parity whatever is asked, so
// only the framing and the address can be unknown here. A sensor slower
// than the scan allows for, at the last address: its answer comes after the
// last try of its setting.
TEST(PseudoTerminal, TheCommandLineFindsASlowSensorAtTheLastAddress) {
    SensorProcess sensor({"--mode", "ascii", "--address", "63", "--answer-ms", "400"});
    ASSERT_FALSE(sensor.device().empty());
    const auto found = run_cli({"scan", "--mode", "ascii", "--port", QString::fromStdString(sensor.device()),
                                "--parity", "N", "--baud", "57600", "--data-bits", "8", "--response-ms", "5"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "--mode ascii --baud 57600 --parity N --address 63\n");
}

TEST(PseudoTerminal, TheCommandLineScanSaysWhenNothingAnswers) {
    SensorProcess sensor({"--mode", "ascii", "--address", "2"});
    ASSERT_FALSE(sensor.device().empty());
    const auto none = run_cli({"scan", "--mode", "rtu", "--json", "--port", QString::fromStdString(sensor.device()),
                               "--parity", "N", "--baud", "57600", "--data-bits", "8", "--response-ms", "5"});
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.out, "[]\n");
    EXPECT_EQ(none.err, "vor3-cli: Kein Sensor gefunden.\n");
}

// What `vor3-cli read` (or the command given) makes of each fault the
// simulated sensor can show.
struct FaultRun {
    const char* name;
    QStringList sensor_args;
    int status;
    const char* message;  // standard error; empty for a read that succeeded
    QStringList command = {"read"};
    int within_ms = 0;  // when set, the bound on how long the command may take
};

const char kGiveUp[] = "vor3-cli: Kommunikationsprobleme, bitte Einstellungen überprüfen!\n";

const FaultRun kFaultRuns[] = {
    {"none", {}, 0, ""},
    {"silence", {"--silent"}, 3, kGiveUp},
    {"wrong checksum", {"--bad-checksum"}, 3, kGiveUp},
    {"noise with a false start before the reply", {"--noise", "FF0103FF0103"}, 0, ""},
    {"reply split with gaps", {"--split", "4", "--split-gap", "30"}, 0, ""},
    {"exception", {"--exception", "2"}, 3,
     "vor3-cli: Das Gerät hat die Anfrage abgelehnt: Modbus-Ausnahme 02 (unzulässige Datenadresse).\n"},
    {"extra delay", {"--extra-delay", "300"}, 0, ""},
    {"duplicate answer", {"--duplicate"}, 0, ""},
    {"echo of the request", {"--echo"}, 0, ""},
    {"echo of the request in ascii", {"--echo", "--mode", "ascii"}, 0, ""},
    {"silence while monitoring", {"--silent"}, 3, "vor3-cli: Seit 2 s kein gültiger Messwert; Abbruch.\n",
     {"monitor", "--give-up", "2"}, 2000 + 1500},
};

void PrintTo(const FaultRun& k, std::ostream* os) { *os << k.name; }
class CliAgainstFault : public ::testing::TestWithParam<FaultRun> {};

TEST_P(CliAgainstFault, ExitsWithTheStatusAndMessageTheUserNeeds) {
    const FaultRun& k = GetParam();
    SensorProcess sensor(k.sensor_args);
    ASSERT_FALSE(sensor.device().empty());
    QStringList args = k.command + QStringList{"--port", QString::fromStdString(sensor.device()), "--parity", "N"};
    if (k.sensor_args.contains("ascii")) args << "--mode" << "ascii" << "--data-bits" << "8";
    QElapsedTimer took;
    took.start();
    const auto r = run_cli(args);
    if (k.within_ms > 0) {
        EXPECT_LT(took.elapsed(), k.within_ms);
    }
    EXPECT_EQ(r.status, k.status) << r.err;
    EXPECT_EQ(r.err, k.message);
    if (k.status == 0) {
        EXPECT_NE(r.out.find("txt_data_cfg(0)\tGerätecodierung:\t4660\n"), std::string::npos) << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, CliAgainstFault, ::testing::ValuesIn(kFaultRuns),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// The sensor's end of the line closing in the middle of a read (its
// program ended, as a USB adapter pulled out would end a real port): the
// tool says the port is gone and exits 2.
TEST(PseudoTerminal, TheCommandLineReportsAPortThatVanishesUnderARead) {
    SensorProcess sensor({"--extra-delay", "100"});
    ASSERT_FALSE(sensor.device().empty());
    static const CliInstall german;
    QProcess cli;
    german.start(cli, {"read", "--port", QString::fromStdString(sensor.device()), "--parity", "N", "--trace"});
    std::string err;
    QElapsedTimer waited;
    waited.start();
    // Two answers in: the read is under way.
    while (std::count(err.begin(), err.end(), '\n') < 4 && waited.elapsed() < 20000) {
        cli.waitForReadyRead(100);
        err += cli.readAllStandardError().toStdString();
    }
    sensor.kill();
    const auto r = CliInstall::finish(cli);
    err += r.err;
    EXPECT_EQ(r.status, 2) << err;
    const std::string gone = "vor3-cli: COM-Port not available,  8020\nDer Port " + sensor.device() + " ist nicht mehr da.";
    EXPECT_NE(err.find(gone), std::string::npos) << err;
    EXPECT_TRUE(r.out.empty());
}

// Qt hands the environment's locale to the C library. Under a German one,
// with the user's separator either way, numbers are read and logged as
// they are.
TEST(PseudoTerminal, TheCommandLineKeepsNumbersUnderAGermanLocale) {
    if (locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr))
        freelocale(german);
    else
        GTEST_SKIP() << "the locale de_DE.UTF-8 is missing (generate it with locale-gen)";
    SensorProcess sensor;
    ASSERT_FALSE(sensor.device().empty());
    const QStringList link = {"--port", QString::fromStdString(sensor.device()), "--parity", "N"};
    // Without a separator of the user's, the C locale names none: "," holds.
    const struct { QString user, locale, shown; } cases[] = {
        {",", "de_DE.UTF-8", ","}, {".", "de_DE.UTF-8", "."}, {"", "C", ","}};
    for (const auto& k : cases) {
        SCOPED_TRACE("separator '" + k.user.toStdString() + "' under " + k.locale.toStdString());
        CliInstall install("1031", k.user.toStdString());
        install.set_locale(k.locale);
        const auto read = install.run(QStringList{"read"} + link);
        EXPECT_EQ(read.status, 0) << read.err;
        const QRegularExpression temperature(QString(R"(\ntxt_data_out\(0\)\t[^\t]*\t-?\d+(\%1\d)?\n)").arg(k.shown));
        EXPECT_TRUE(temperature.match(QString::fromStdString(read.out)).hasMatch()) << read.out;
        // The log always writes a point.
        const auto polled = install.run(QStringList{"monitor"} + link + QStringList{"--count", "1"});
        EXPECT_EQ(polled.status, 0) << polled.err;
        const QRegularExpression reading(R"(\n[^,]+,-?\d+(\.\d)?,-?\d+(\.\d)?,\d+\n$)");
        EXPECT_TRUE(reading.match(QString::fromStdString(polled.out)).hasMatch()) << polled.out;
    }
}

TEST(PseudoTerminal, TheCommandLineReportsASilentOrMissingPort) {
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const std::string silent = ttyname(slave);
    const auto quiet = run_cli({"read", "--port", QString::fromStdString(silent), "--parity", "N"});
    EXPECT_EQ(quiet.status, 3);
    EXPECT_EQ(quiet.err, "vor3-cli: Kommunikationsprobleme, bitte Einstellungen überprüfen!\n");
    EXPECT_TRUE(quiet.out.empty());
    close(master);
    close(slave);

    const auto missing = run_cli({"read", "--port", "/dev/vor3-no-such-port"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("vor3-cli: COM-Port not available,  ", 0), 0u) << missing.err;

    const auto usage = run_cli({"read"});
    EXPECT_EQ(usage.status, 1);
}

}  // namespace
}  // namespace vor3::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
