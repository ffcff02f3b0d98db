// vor3-cli over a whole line of sensors of vor3-sensor-sim on a
// pseudo-terminal, interrupted as a user would with Ctrl+C.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>

#include <signal.h>

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

}  // namespace
}  // namespace vor3::test
