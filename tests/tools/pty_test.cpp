// What only real processes on a pseudo-terminal show: the real port
// adapter, vor3-cli's exit status and messages against vor3-sensor-sim's
// faults, a port that vanishes, the process's locale, and the simulator as a
// program of its own (the window on a real port: network_test.cpp). Linux pseudo-terminals refuse parity and 7 data
// bits, so these runs use parity None and 8 data bits. What the tool does with the answers is tested in-process
// (tests/app).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>

#include <locale.h>
#include <unistd.h>

#include "cli_install.h"
#include "sensor_process.h"
#include "sim/sim_test_support.h"

namespace vor3::test {
namespace {

QStringList link_to(const SensorProcess& sensor) {
    return {"--port", QString::fromStdString(sensor.device()), "--parity", "N"};
}

// What a command makes of the faults only a real line shows (pieces with
// real gaps, an adapter's echo) and its exit status and message where it
// fails; the other faults are met in-process.
struct FaultRun {
    const char* name;
    QStringList sensor_args;
    int status;
    const char* message;  // standard error; empty for a command that succeeded
    QStringList command = {"read"};
    int within_ms = 0;          // when set, the bound on how long the command may take
    const char* out = nullptr;  // standard output, where the row names it
};

const QStringList kScan = {"scan", "--baud", "57600", "--response-ms", "5"};

const FaultRun kFaultRuns[] = {
    {"none", {}, 0, ""},
    {"ascii at address 17", {"--mode", "ascii", "--address", "17"}, 0, "", {"read", "--address", "17"}},
    {"silence", {"--silent"}, 3, "vor3-cli: Kommunikationsprobleme, bitte Einstellungen überprüfen!\n"},
    {"reply split with gaps", {"--split", "4", "--split-gap", "30"}, 0, ""},
    {"echo of the request in ascii", {"--echo", "--mode", "ascii"}, 0, ""},
    {"silence while monitoring",
     {"--silent"},
     3,
     "vor3-cli: Seit 2 s kein gültiger Messwert; Abbruch.\n",
     {"monitor", "--give-up", "2"},
     2000 + 1500},
    // The scan's answer time: a sensor slower than it allows for, at the
    // last address, answers after the last try of its setting.
    {"scan finds a slow sensor at the last address",
     {"--mode", "ascii", "--address", "63", "--answer-ms", "400"},
     0,
     "",
     kScan + QStringList{"--mode", "ascii"},
     0,
     "--mode ascii --baud 57600 --parity N --address 63\n"},
    {"scan where nothing answers",
     {"--mode", "ascii", "--address", "2"},
     3,
     "vor3-cli: Kein Sensor gefunden.\n",
     kScan + QStringList{"--mode", "rtu", "--json"},
     0,
     "[]\n"},
};

void PrintTo(const FaultRun& k, std::ostream* os) { *os << k.name; }
class CliAgainstFault : public ::testing::TestWithParam<FaultRun> {};

TEST_P(CliAgainstFault, ExitsWithTheStatusAndMessageTheUserNeeds) {
    const FaultRun& k = GetParam();
    SensorProcess sensor(k.sensor_args);
    ASSERT_FALSE(sensor.device().empty());
    QStringList args = k.command + link_to(sensor) + QStringList{"--data-bits", "8"};
    if (k.sensor_args.contains("ascii") && !k.command.contains("--mode"))
        args << "--mode"
             << "ascii";
    QElapsedTimer took;
    took.start();
    const auto r = run_cli(args);
    if (k.within_ms > 0) {
        EXPECT_LT(took.elapsed(), k.within_ms);
    }
    EXPECT_EQ(r.status, k.status) << r.err;
    EXPECT_EQ(r.err, k.message);
    if (k.out) {
        EXPECT_EQ(r.out, k.out);
    } else if (k.status == 0) {
        EXPECT_NE(r.out.find("txt_data_cfg(0)\tGerätecodierung:\t4660\n"), std::string::npos) << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 30);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, CliAgainstFault, ::testing::ValuesIn(kFaultRuns),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// The sensor's end of the line closing in the middle of a read (its
// program ended, as a USB adapter pulled out would end a real port): the
// tool says the port is gone and exits 2. --trace shows the frames on
// standard error as they go.
TEST(PseudoTerminal, TheCommandLineReportsAPortThatVanishesUnderARead) {
    SensorProcess sensor({"--extra-delay", "100"});
    ASSERT_FALSE(sensor.device().empty());
    QProcess cli;
    german_cli().start(cli, QStringList{"read", "--trace"} + link_to(sensor));
    // Two answers in: the read is under way.
    std::string err =
        CliInstall::error_until(cli, [](const std::string& e) { return std::count(e.begin(), e.end(), '\n') >= 4; });
    EXPECT_NE(err.find("TX  01 03 00 06 00 01 64 0B  Adr. 1: Register 0x0006 lesen\n"), std::string::npos) << err;
    sensor.kill();
    const auto r = CliInstall::finish(cli);
    err += r.err;
    EXPECT_EQ(r.status, 2) << err;
    const std::string gone =
        "vor3-cli: COM-Port not available,  8020\nDer Port " + sensor.device() + " ist nicht mehr da.";
    EXPECT_NE(err.find(gone), std::string::npos) << err;
    EXPECT_TRUE(r.out.empty());

    const auto missing = run_cli({"read", "--port", "/dev/vor3-no-such-port"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("vor3-cli: COM-Port not available,  ", 0), 0u) << missing.err;
    EXPECT_EQ(run_cli({"read"}).status, 1);
}

// Qt hands the environment's locale to the C library. Under a German one,
// with the user's separator either way, numbers are read and logged as
// they are; without a separator of the user's, the C locale names none and
// "," holds. The log always writes a point.
struct LocaleRun {
    const char* name;
    const char* user;
    const char* locale;
    const char* shown;
};
class CliUnderLocale : public ::testing::TestWithParam<LocaleRun> {};

TEST_P(CliUnderLocale, KeepsNumbersAsTheyAre) {
    const LocaleRun& k = GetParam();
    if (locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr))
        freelocale(german);
    else
        GTEST_SKIP() << "the locale de_DE.UTF-8 is missing (generate it with locale-gen)";
    SensorProcess sensor;
    ASSERT_FALSE(sensor.device().empty());
    const CliInstall install("1031", k.user);
    const auto read = install.run(QStringList{"read"} + link_to(sensor), k.locale);
    EXPECT_EQ(read.status, 0) << read.err;
    const QRegularExpression temperature(QString(R"(\ntxt_data_out\(0\)\t[^\t]*\t-?\d+(\%1\d)?\n)").arg(k.shown));
    EXPECT_TRUE(temperature.match(QString::fromStdString(read.out)).hasMatch()) << read.out;
    const auto polled = install.run(QStringList{"monitor", "--count", "1"} + link_to(sensor), k.locale);
    EXPECT_EQ(polled.status, 0) << polled.err;
    const QRegularExpression reading(R"(\n\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3},-?\d+(\.\d)?,-?\d+(\.\d)?,\d+\n$)");
    EXPECT_TRUE(reading.match(QString::fromStdString(polled.out)).hasMatch()) << polled.out;
}

INSTANTIATE_TEST_SUITE_P(Locales, CliUnderLocale,
                         ::testing::Values(LocaleRun{"german_comma", ",", "de_DE.UTF-8", ","},
                                           LocaleRun{"german_point", ".", "de_DE.UTF-8", "."},
                                           LocaleRun{"c_none", "", "C", ","}),
                         [](const auto& info) { return std::string(info.param.name); });

// Qt gives these locales' separator and digits whether or not the system
// has the locales: a file saved under one loads under the other.
TEST(CliUnderLocale, ArabicAndPersianLocalesSaveAndLoadAFile) {
    const CliInstall install("1031", "");
    const QString file = QString::fromStdString(install.dir().file("p.txt"));
    const auto saved = install.run({"save", "--port", "sim", file}, "ar_EG.UTF-8");
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string bytes = install.dir().read("p.txt");
    const std::string stamp = bytes.substr(bytes.find("\r\n", bytes.find("Version")) + 2, 18);
    EXPECT_EQ(stamp.find_first_not_of("0123456789.:"), std::string::npos) << stamp;
    const auto loaded = install.run({"write", "--port", "sim", "--file", file}, "fa_IR.UTF-8");
    EXPECT_EQ(loaded.status, 0) << loaded.err;
}

// vor3-sensor-sim as a program: a link to its terminal (a stale one is
// replaced, and none is left behind), faults switched on its input while
// it runs, and bad arguments refused with status 2.
TEST(SensorSimProgram, TakesFaultsOnItsInputAndLeavesNoLinkBehind) {
    TempDir dir;
    const std::string link = dir.file("sensor");
    std::filesystem::create_symlink("/nonexistent", link);
    {
        SensorProcess sensor({"--mode", "ascii", "--link", QString::fromStdString(link), "--silent"});
        ASSERT_FALSE(sensor.device().empty());
        const QStringList to_link = {
            "read", "--port", QString::fromStdString(link), "--parity", "N", "--mode", "ascii", "--data-bits", "8"};
        EXPECT_EQ(run_cli(to_link).status, 3);
        EXPECT_EQ(sensor.tell("--bogus").rfind("faults refused: ", 0), 0u);
        EXPECT_TRUE(sensor.set_faults(""));
        EXPECT_EQ(run_cli(to_link).status, 0);
    }
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "link left behind";
    EXPECT_EQ(QProcess::execute(VOR3_SENSOR_SIM_PATH, {"--address", "300"}), 2);
}

}  // namespace
}  // namespace vor3::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
