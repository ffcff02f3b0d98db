// What only real processes and ports show: vor3-cli's exit status and
// messages against a sensor program on a pseudo-terminal or a TCP port,
// pymodbus as a Modbus implementation not ours, sockets that refuse or never
// answer, signals and the environment's locale; the window on the real
// network port. Linux pseudo-terminals refuse parity and 7 data bits, so
// these runs use parity None and 8 data bits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <memory>

#include <locale.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/program.h"
#include "cli_install.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"
#include "sim/sim_test_support.h"
#include "support/fakes.h"

namespace vor3::test {
namespace {

// A TCP port on the loopback address whose queue of one is filled at once:
// further connection requests go unanswered, as to a host switched off.
class UnansweringSocket {
public:
    UnansweringSocket() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        listen(fd_, 0);
        for (int& client : clients_) {
            client = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
    }
    ~UnansweringSocket() {
        for (int client : clients_) close(client);
        close(fd_);
    }
    UnansweringSocket(const UnansweringSocket&) = delete;
    UnansweringSocket& operator=(const UnansweringSocket&) = delete;
    QString url() const { return "tcp://127.0.0.1:" + QString::number(port_); }

private:
    int fd_ = socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
    int clients_[2] = {-1, -1};
};

// One command of a run, its words split at spaces; "--port" and the peer's device are added.
struct Step {
    const char* args;
    int status;
    const char* out;         // a pattern standard output matches; nullptr: not checked
    const char* err = "^$";  // likewise standard error
};

struct ProcessRun {
    const char* name;
    // What the tool talks to: "sim ARGS" (vor3-sensor-sim), "pymodbus ARGS" (pymodbus_line.py),
    // "unanswering" (a loopback socket), or "" (the steps name their port).
    const char* peer;
    std::vector<Step> steps;
    const char* decimal = ",";  // the user's separator
    const char* locale = "";    // LC_ALL for the tool; "": the caller's
};

constexpr const char* kCoding = R"(^txt_data_cfg\(0\)\tGerätecodierung:\t4660\n)";
constexpr const char* kWriteAt3 = "write --address 3 txt_data_cfg(4)=950 txt_data_in(0)=21,5";
constexpr const char* kTemperatureWithAComma = R"(\ntxt_data_out\(0\)\t[^\t]*\t-?\d+(,\d)?\n)";
// The log writes a point whatever the locale.
const Step kMonitor = {"monitor --count 1", 0,
                       R"(\n\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3},-?\d+(\.\d)?,-?\d+(\.\d)?,\d+\n$)"};

const ProcessRun kRuns[] = {
    {"sensor on a pseudo terminal", "sim", {{"read", 0, kCoding}}},
    // The built-in sensor hears its one line setting only, as the window's.
    {"built in sensor", "", {{"read --port sim", 0, kCoding}, {"read --port sim --parity N", 3, "^$", nullptr}}},
    {"silence",
     "sim --silent",
     {{"read", 3, "^$", "^vor3-cli: Kommunikationsprobleme, bitte Einstellungen überprüfen!\n$"}}},
    {"reply split with real gaps", "sim --split 4 --split-gap 30", {{"read", 0, kCoding}}},
    {"echo of the request in ascii", "sim --echo --mode ascii", {{"read --mode ascii", 0, kCoding}}},
    // The scan's answer time: a sensor slower than it allows for, at the
    // last address, answers after the last try of its setting.
    {"scan finds a slow sensor at the last address",
     "sim --mode ascii --address 63 --answer-ms 400",
     {{"scan --baud 57600 --response-ms 5 --mode ascii", 0, "^--mode ascii --baud 57600 --parity N --address 63\n$"}}},
    // A sensor at address 3 behind each kind of network port: read, written
    // (each part read back by the write itself, exit 4 where it differs) and
    // found by a scan.
    {"pymodbus serial device server",
     "pymodbus tcp 3",
     {{"read --address 3", 0, kCoding}, {kWriteAt3, 0, nullptr}, {"scan --first", 0, "^--mode rtu --address 3\n$"}}},
    {"pymodbus gateway",
     "pymodbus modbus-tcp 3",
     {{"read --address 3", 0, kCoding}, {kWriteAt3, 0, nullptr}, {"scan --first", 0, "^--address 3\n$"}}},
    // Each way a port can fail before a sensor is reached.
    // Nothing listens on port 1.
    {"connection refused",
     "",
     {{"read --port tcp://127.0.0.1:1", 2, "^$",
       "^vor3-cli: COM-Port not available,  8031\n.* lehnt die Verbindung ab"}}},
    {"no answer to the connection request",
     "unanswering",
     {{"read", 2, "^$", R"(antwortet nicht auf den Verbindungsaufbau \(nach 3 s aufgegeben\)\.\n$)"}}},
    {"name not found",
     "",
     {{"read --port tcp://vor3-no-such-host.invalid:4001", 2, "^$",
       R"(tcp://vor3-no-such-host\.invalid:4001 kennt das Netz nicht \(Name nicht gefunden\)\.\n$)"}}},
    {"no such port",
     "",
     {{"read --port /dev/vor3-no-such-port", 2, "^$", "^vor3-cli: COM-Port not available,  "},
      {"read", 1, "^$", nullptr}}},
    // Qt hands the environment's locale to the C library. Under a German
    // one, with the user's separator either way, numbers are read and
    // shown as they are; without a separator of the user's, the C locale
    // names none and "," holds.
    {"german locale with a comma", "sim", {{"read", 0, kTemperatureWithAComma}, kMonitor}, ",", "de_DE.UTF-8"},
    {"german locale with a point",
     "sim",
     {{"read", 0, R"(\ntxt_data_out\(0\)\t[^\t]*\t-?\d+(\.\d)?\n)"}, kMonitor},
     ".",
     "de_DE.UTF-8"},
    {"c locale and no separator of the users", "sim", {{"read", 0, kTemperatureWithAComma}, kMonitor}, "", "C"},
};

void PrintTo(const ProcessRun& k, std::ostream* os) { *os << k.name; }
class CliProcess : public ::testing::TestWithParam<ProcessRun> {};

bool matches(const std::string& text, const char* pattern) {
    return QRegularExpression(QString::fromUtf8(pattern)).match(QString::fromStdString(text)).hasMatch();
}

TEST_P(CliProcess, ExitsWithTheStatusAndOutputAScriptNeeds) {
    const ProcessRun& k = GetParam();
    if (std::string(k.peer).starts_with("pymodbus") &&
        QProcess::execute("/usr/bin/python3", {"-c", "import pymodbus.server"}) != 0)
        GTEST_SKIP() << "Debian's python3-pymodbus is missing: apt-get install python3-pymodbus";
    if (std::string(k.locale) == "de_DE.UTF-8") {
        locale_t german = newlocale(LC_ALL_MASK, k.locale, nullptr);
        if (!german) GTEST_SKIP() << "the locale de_DE.UTF-8 is missing (generate it with locale-gen)";
        freelocale(german);
    }
    const QStringList peer = QString(k.peer).split(' ', Qt::SkipEmptyParts);
    std::unique_ptr<SensorProcess> sensor;
    std::unique_ptr<UnansweringSocket> socket;
    QStringList link;
    if (peer.value(0) == "sim" || peer.value(0) == "pymodbus") {
        sensor = peer[0] == "pymodbus" ? std::make_unique<SensorProcess>("/usr/bin/python3",
                                                                         QStringList{VOR3_PYMODBUS_LINE} + peer.mid(1))
                                       : std::make_unique<SensorProcess>(peer.mid(1));
        ASSERT_FALSE(sensor->device().empty());
        link = {"--port", QString::fromStdString(sensor->device())};
        if (sensor->device().starts_with("/")) link += QStringList{"--parity", "N"};
    } else if (!peer.isEmpty()) {
        socket = std::make_unique<UnansweringSocket>();
        link = {"--port", socket->url()};
    }
    const CliInstall install(k.decimal);
    for (const Step& s : k.steps) {
        QElapsedTimer took;
        took.start();
        const auto r = install.run(QString(s.args).split(' ') + link, k.locale);
        EXPECT_EQ(r.status, s.status) << s.args << "\n" << r.err;
        EXPECT_TRUE(!s.out || matches(r.out, s.out)) << s.args << "\n" << r.out;
        EXPECT_TRUE(!s.err || matches(r.err, s.err)) << s.args << "\n" << r.err;
        EXPECT_LT(took.elapsed(), 20000) << s.args;
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, CliProcess, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// The sensor's program ending under a read, as a USB adapter pulled out
// would end a real port. --trace shows the frames as they go.
TEST(PseudoTerminal, TheCommandLineReportsAPortThatVanishesUnderARead) {
    SensorProcess sensor({"--extra-delay", "100"});
    ASSERT_FALSE(sensor.device().empty());
    const CliInstall install;
    QProcess cli;
    install.start(cli, {"read", "--trace", "--port", QString::fromStdString(sensor.device()), "--parity", "N"});
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
}

// A line of three on a link to the simulator's terminal (a stale one is
// replaced, and none is left behind), and Ctrl+C while the second is
// written: the first two are written and verified, the third left alone.
TEST(BusLine, AnInterruptInTheMiddleOfALineFinishesTheSensorInProgress) {
    TempDir dir;
    const std::string link = dir.file("line");
    std::filesystem::create_symlink("/nonexistent", link);
    {
        SensorProcess line({"--address", "1,5,37", "--baud", "57600", "--link", QString::fromStdString(link)});
        ASSERT_FALSE(line.device().empty());
        const CliInstall install;
        QProcess write;
        install.start(write, {"write", "--addresses", "1,5,37", "txt_data_cfg(4)=950", "--csv", "--trace", "--port",
                              QString::fromStdString(link), "--parity", "N", "--baud", "57600"});
        // The first request to sensor 5: its job is under way. (With --csv
        // the summary goes to standard error.)
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
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "link left behind";
}

// Ctrl+C while one sensor's first block is on its way: its answer is taken,
// nothing more goes out, and the output says what the sensor confirmed. A
// second Ctrl+C ends the program at once.
TEST(PseudoTerminal, AnInterruptStopsAWriteAfterTheBlockInFlight) {
    SensorProcess sensor({"--extra-delay", "300"});
    ASSERT_FALSE(sensor.device().empty());
    const CliInstall install;
    for (const int interrupts : {1, 2}) {
        QProcess write;
        install.start(write, {"write", "--trace", "--port", QString::fromStdString(sensor.device()), "--parity", "N",
                              // a value the sensor does not hold yet
                              "txt_data_cfg(4)=" + QString::number(800 + 100 * interrupts), "txt_data_in(0)=21,5"});
        std::string err = CliInstall::error_until(
            write, [](const std::string& e) { return e.find("TX  01 10 00 02") != std::string::npos; });
        const auto pid = static_cast<pid_t>(write.processId());
        ASSERT_GT(pid, 0) << err;
        for (int i = 0; i < interrupts; ++i) {
            // Signals of one kind do not queue: the second waits until the
            // first has surely been taken.
            if (i > 0) write.waitForFinished(100);
            ::kill(pid, SIGINT);
        }
        const auto r = CliInstall::finish(write);
        err += r.err;
        if (interrupts == 2) {
            EXPECT_EQ(write.exitStatus(), QProcess::CrashExit) << err;
            continue;
        }
        EXPECT_EQ(r.status, 3) << err;
        EXPECT_NE(err.find("RX  01 10 00 02 00 05"), std::string::npos) << err;
        EXPECT_TRUE(
            err.ends_with("vor3-cli: Schreiben auf Abbruch angehalten.\n"
                          "vor3-cli: txt_data_cfg(4)=900 vom Gerät bestätigt\n"
                          "vor3-cli: txt_data_in(0)=21,5 nicht bestätigt, vielleicht nicht geschrieben\n"))
            << err;
        EXPECT_EQ(err.find("TX  01 10 00 07"), std::string::npos) << "nothing sent after the block in flight";
    }
}

TEST(NetworkPort, TheNextReadConnectsAgainAfterTheConnectionWasClosed) {
    SensorProcess sensor({"--tcp", "0", "--close-mid-reply"});
    ASSERT_FALSE(sensor.device().empty());
    qt::QtClock clock;
    qt::QtSerialPort port;
    FakeMessageBox msg;
    FakeConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
    port.set_device_path(sensor.device());
    prog.Main();
    auto& f = prog.frm_config;
    f.Combo_Port(6).set_list_index(1);
    ASSERT_TRUE(port.is_open()) << (msg.shown.empty() ? "" : msg.shown[0]);
    // Presses "read device" and runs the event loop until the read has
    // ended or a message shows (20 s at most); whether it ever ran.
    const auto read_device = [&] {
        f.cmd_read_device.press();
        bool seen = false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000 && msg.shown.empty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            seen |= prog.frmState.loaded();
            if (seen && !prog.frmState.loaded()) break;
        }
        return seen;
    };
    read_device();
    ASSERT_EQ(msg.details.size(), 1u);
    EXPECT_EQ(msg.details[0], sensor.device() +
                                  " hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage "
                                  "verbindet neu.");
    EXPECT_TRUE(port.is_open());
    EXPECT_TRUE(f.cmd_read_device.enabled());

    ASSERT_TRUE(sensor.set_faults(""));
    msg.shown.clear();
    EXPECT_TRUE(read_device());
    EXPECT_TRUE(msg.shown.empty()) << msg.shown[0];
    EXPECT_FALSE(f.warning_line().visible());
    EXPECT_EQ(f.txt_data_cfg(0).text(), "4660");
}

}  // namespace
}  // namespace vor3::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
