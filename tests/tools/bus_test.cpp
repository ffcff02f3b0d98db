// vor3-cli over a whole line of sensors on a pseudo-terminal: several
// sensors of vor3-sensor-sim, and sensors served by Debian's pymodbus.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "cli_install.h"
#include "sensor_process.h"

namespace vor3::test {
namespace {

// A line of three, written one after another, and Ctrl+C while the second
// is written: the first two are written and verified, each keeping its
// location id; the third is left as it was; the tool says what was done.
TEST(BusLine, AnInterruptInTheMiddleOfALineFinishesTheSensorInProgress) {
    SensorProcess line({"--address", "1,5,37", "--baud", "57600"});
    ASSERT_FALSE(line.device().empty());
    const QStringList link = {"--port", QString::fromStdString(line.device()), "--parity", "N", "--baud", "57600"};
    QProcess write;
    german_cli().start(write,
                       QStringList{"write", "--addresses", "1,5,37", "txt_data_cfg(4)=950", "--csv", "--trace"} + link);
    // The first request to sensor 5: its job is under way. (With --csv the
    // summary goes to standard error.)
    std::string err =
        CliInstall::error_until(write, [](const std::string& e) { return e.find("Adr. 5:") != std::string::npos; });
    // Ended already (a pid of 0 would signal the whole process group, the
    // test runner included): the report below says what went wrong.
    const auto pid = static_cast<pid_t>(write.processId());
    ASSERT_GT(pid, 0) << err;
    ::kill(pid, SIGINT);
    const auto r = CliInstall::finish(write);
    err += r.err;
    EXPECT_EQ(r.status, 3) << err;
    EXPECT_NE(err.find("Adresse 1, Standortkennung 1: geschrieben und geprüft\n"
                       "Adresse 5, Standortkennung 5: geschrieben und geprüft\n"
                       "Adresse 37: nicht bearbeitet\n"
                       "vor3-cli: Nach Adresse 5 angehalten.\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("Adr. 37:"), std::string::npos) << "nothing was sent to the sensor not reached";
}

// Debian's pymodbus serving three unit addresses on one end of a pair of
// pseudo-terminals (socat makes the pair): a Modbus implementation that is
// not ours, each of its sensors read, written and read back.
TEST(BusLine, ThreeSensorsOfAnotherModbusImplementation) {
    if (QProcess::execute("/usr/bin/python3", {"-c", "import pymodbus.server, serial_asyncio"}) != 0)
        GTEST_SKIP() << "Debian's python3-pymodbus (with python3-serial-asyncio) is missing: apt-get install "
                        "python3-pymodbus python3-serial-asyncio";
    if (QStandardPaths::findExecutable("socat").isEmpty()) GTEST_SKIP() << "socat is missing: apt-get install socat";
    TempDir dir;
    const QString ours = QString::fromStdString(dir.file("ours")), theirs = QString::fromStdString(dir.file("theirs"));
    QProcess pair, server;
    pair.start("socat", {"pty,raw,echo=0,link=" + ours, "pty,raw,echo=0,link=" + theirs});
    QElapsedTimer waited;
    waited.start();
    while (!(std::filesystem::exists(dir.file("ours")) && std::filesystem::exists(dir.file("theirs"))) &&
           waited.elapsed() < 10000)
        pair.waitForFinished(20);
    server.start("/usr/bin/python3", {QString(VOR3_PYMODBUS_LINE), theirs, "1,2,3"});
    ASSERT_TRUE(server.waitForReadyRead(10000)) << server.readAllStandardError().toStdString();
    const QStringList link = {"--port", ours, "--parity", "N", "--baud", "57600", "--addresses", "1-3"};

    // Each sensor read, written and read back: the report shows both reads.
    const auto written = run_cli(QStringList{"write", "txt_data_cfg(4)=950", "chk_cfg(2)=0", "--csv"} + link);
    EXPECT_EQ(written.status, 0) << written.err << server.readAllStandardError().toStdString();
    for (const char* a : {"1", "2", "3"})
        EXPECT_NE(written.out.find("\n" + std::string(a) + "," + a + ",verified,,4660,4660,105,105,0,0," + a + "," + a +
                                   ",800,950,1200,1200,"),
                  std::string::npos)
            << written.out;
    EXPECT_EQ(std::count(written.out.begin(), written.out.end(), '\n'), 4) << written.out;
    server.kill();
    pair.kill();
    server.waitForFinished();
    pair.waitForFinished();
}

}  // namespace
}  // namespace vor3::test
