// The command-line tool and the real network port against a sensor behind
// a serial device server or a Modbus TCP gateway on the loopback address:
// the simulated sensor's, and pymodbus's where Debian's package is there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <memory>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/program.h"
#include "cli_install.h"
#include "qt/qt_clock.h"
#include "qt/qt_serial_port.h"
#include "sensor_process.h"
#include "sim/sim_test_support.h"
#include "support/fakes.h"

namespace vor3::test {
namespace {

// A TCP port on the loopback address, bound (and listening where asked)
// while the object lives.
class LoopbackSocket {
public:
    explicit LoopbackSocket(bool listening) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        if (!listening) return;
        // A queue of one, filled at once: further connection requests go
        // unanswered, as to a host that is switched off.
        listen(fd_, 0);
        for (int& client : clients_) {
            client = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
    }
    ~LoopbackSocket() {
        for (int client : clients_) close(client);
        close(fd_);
    }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;
    QString url() const { return "tcp://127.0.0.1:" + QString::number(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
    int clients_[2] = {-1, -1};
};

// A sensor at address 3 behind each kind of network port: read, written
// (each part read back by the write itself, exit 4 where it differs) and
// found by a scan.
struct Carrier {
    const char* name;
    bool pymodbus;  // else vor3-sensor-sim
    QStringList server_args;
    const char* scan_found;
    const char* first_trace;  // the end of --trace's first line; nullptr: not checked
};

const Carrier kCarriers[] = {
    {"serial device server in rtu",
     false,
     {"--tcp", "0", "--address", "3"},
     "--mode rtu --address 3\n",
     "TX  03 03 00 06 00 01 65 E9  Adr. 3: Register 0x0006 lesen"},
    {"modbus tcp gateway",
     false,
     {"--tcp", "0", "--framing", "modbus-tcp", "--address", "3"},
     "--address 3\n",
     "TX  00 01 00 00 00 06 03 03 00 06 00 01  Transaktion 1, Unit-ID 3 – Adr. 3: Register 0x0006 lesen"},
    {"pymodbus serial device server", true, {"tcp", "3"}, "--mode rtu --address 3\n", nullptr},
    {"pymodbus gateway", true, {"modbus-tcp", "3"}, "--address 3\n", nullptr},
};

void PrintTo(const Carrier& k, std::ostream* os) { *os << k.name; }
class OverTheNetwork : public ::testing::TestWithParam<Carrier> {};

TEST_P(OverTheNetwork, ReadsWritesAndScansAsOnALine) {
    const Carrier& k = GetParam();
    if (k.pymodbus && QProcess::execute("/usr/bin/python3", {"-c", "import pymodbus.server"}) != 0)
        GTEST_SKIP() << "Debian's python3-pymodbus is missing: apt-get install python3-pymodbus";
    const auto server = k.pymodbus ? std::make_unique<SensorProcess>("/usr/bin/python3",
                                                                     QStringList{VOR3_PYMODBUS_LINE} + k.server_args)
                                   : std::make_unique<SensorProcess>(k.server_args);
    ASSERT_FALSE(server->device().empty());
    const QString port = QString::fromStdString(server->device());

    const auto read = run_cli({"read", "--trace", "--port", port, "--address", "3"});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("txt_data_cfg(0)\tGerätecodierung:\t4660\n"), std::string::npos) << read.out;
    if (k.first_trace) {
        EXPECT_TRUE(read.err.substr(0, read.err.find('\n')).ends_with(k.first_trace)) << read.err;
    }
    const auto written =
        run_cli({"write", "--port", port, "--address", "3", "txt_data_cfg(4)=950", "txt_data_in(0)=21,5"});
    EXPECT_EQ(written.status, 0) << written.err;
    const auto found = run_cli({"scan", "--first", "--port", port});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, k.scan_found);
}

INSTANTIATE_TEST_SUITE_P(Carriers, OverTheNetwork, ::testing::ValuesIn(kCarriers),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// Each way a network connection can fail before a sensor is reached, as the
// command line tells it; what a gateway or a closed connection does to a
// transfer is met in-process and in the window's read below.
struct NetworkFault {
    const char* name;
    enum Where { Refused, Unanswered, Unknown } where;
    const char* command;
    const char* message;  // found in standard error
};

const NetworkFault kNetworkFaults[] = {
    {"connection refused", NetworkFault::Refused, "read", "vor3-cli: COM-Port not available,  8031\ntcp://127.0.0.1:"},
    {"connection refused to a scan", NetworkFault::Refused, "scan", "lehnt die Verbindung ab"},
    {"no answer to the connection request", NetworkFault::Unanswered, "read",
     "antwortet nicht auf den Verbindungsaufbau (nach 3 s aufgegeben).\n"},
    {"name not found", NetworkFault::Unknown, "read",
     "tcp://vor3-no-such-host.invalid:4001 kennt das Netz nicht (Name nicht gefunden).\n"},
};

void PrintTo(const NetworkFault& k, std::ostream* os) { *os << k.name; }
class CliAgainstNetworkFault : public ::testing::TestWithParam<NetworkFault> {};

TEST_P(CliAgainstNetworkFault, ExitsWithTheStatusAndTheReason) {
    const NetworkFault& k = GetParam();
    std::unique_ptr<LoopbackSocket> socket;
    QString port = "tcp://vor3-no-such-host.invalid:4001";
    if (k.where != NetworkFault::Unknown) {
        socket = std::make_unique<LoopbackSocket>(k.where == NetworkFault::Unanswered);
        port = socket->url();
    }
    QElapsedTimer took;
    took.start();
    const auto r = run_cli({k.command, "--port", port});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(k.message), std::string::npos) << r.err;
    EXPECT_LT(took.elapsed(), 10000);
}

INSTANTIATE_TEST_SUITE_P(Faults, CliAgainstNetworkFault, ::testing::ValuesIn(kNetworkFaults),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// The window's behaviour on the real port adapter, its device path typed.
struct WindowOnPort {
    explicit WindowOnPort(const std::string& device) {
        port.set_device_path(device);
        prog.Main();
    }

    // Presses "read device" and runs the event loop until the read has
    // ended or a message shows (20 s at most); whether it ever ran.
    bool read_device() {
        prog.frm_config.cmd_read_device.press();
        bool seen = false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000 && msg.shown.empty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            seen |= prog.frmState.loaded();
            if (seen && !prog.frmState.loaded()) break;
        }
        return seen;
    }

    qt::QtClock clock;
    qt::QtSerialPort port;
    FakeMessageBox msg;
    FakeConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
};

// The window's read over a connection the server closes: told, the port
// stays open, and the next read connects again.
TEST(NetworkPort, TheNextReadConnectsAgainAfterTheConnectionWasClosed) {
    SensorProcess sensor({"--tcp", "0", "--close-mid-reply"});
    ASSERT_FALSE(sensor.device().empty());
    WindowOnPort w(sensor.device());
    auto& f = w.prog.frm_config;
    f.Combo_Port(6).set_list_index(1);
    ASSERT_TRUE(w.port.is_open()) << (w.msg.shown.empty() ? "" : w.msg.shown[0]);
    w.read_device();
    ASSERT_EQ(w.msg.details.size(), 1u);
    EXPECT_EQ(w.msg.details[0], sensor.device() +
                                    " hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage "
                                    "verbindet neu.");
    EXPECT_TRUE(w.port.is_open());
    EXPECT_TRUE(f.cmd_read_device.enabled());

    ASSERT_TRUE(sensor.set_faults(""));
    w.msg.shown.clear();
    EXPECT_TRUE(w.read_device());
    EXPECT_TRUE(w.msg.shown.empty()) << w.msg.shown[0];
    EXPECT_FALSE(f.warning_line().visible());
    EXPECT_EQ(f.txt_data_cfg(0).text(), "4660");
}

}  // namespace
}  // namespace vor3::test
