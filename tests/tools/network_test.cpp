// The command-line tool and the real network port against a sensor behind
// a serial device server or a Modbus TCP gateway on the loopback address:
// the simulated sensor's, and pymodbus's where Debian's package is there.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <memory>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "cli_install.h"
#include "sensor_process.h"
#include "sim/sim_test_support.h"
#include "window_on_port.h"

namespace vor3::test {
namespace {

CliRun run_cli(const QStringList& args) {
    static const CliInstall german;
    return german.run(args);
}

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

// A sensor at address 3 behind each kind of network port.
struct Carrier {
    const char* name;
    bool pymodbus;  // else vor3-sensor-sim
    QStringList server_args;
    QStringList cli_args;
    const char* scan_found;
    const char* first_trace;  // the end of --trace's first line; nullptr: not checked
};

const Carrier kCarriers[] = {
    {"serial device server in rtu",
     false,
     {"--tcp", "0", "--address", "3"},
     {},
     "--mode rtu --address 3\n",
     "TX  03 03 00 06 00 01 65 E9  Adr. 3: Register 0x0006 lesen"},
    {"serial device server in ascii",
     false,
     {"--tcp", "0", "--framing", "ascii", "--address", "3"},
     {"--mode", "ascii"},
     "--mode ascii --address 3\n",
     nullptr},
    {"modbus tcp gateway",
     false,
     {"--tcp", "0", "--framing", "modbus-tcp", "--address", "3"},
     {},
     "--address 3\n",
     "TX  00 01 00 00 00 06 03 03 00 06 00 01  Transaktion 1, Unit-ID 3 – Adr. 3: Register 0x0006 lesen"},
    {"pymodbus serial device server", true, {"tcp", "3"}, {}, "--mode rtu --address 3\n", nullptr},
    {"pymodbus gateway", true, {"modbus-tcp", "3"}, {}, "--address 3\n", nullptr},
};

void PrintTo(const Carrier& k, std::ostream* os) { *os << k.name; }
class OverTheNetwork : public ::testing::TestWithParam<Carrier> {};

TEST_P(OverTheNetwork, ReadsWritesPollsAndScansAsOnALine) {
    const Carrier& k = GetParam();
    if (k.pymodbus && QProcess::execute("/usr/bin/python3", {"-c", "import pymodbus.server"}) != 0)
        GTEST_SKIP() << "Debian's python3-pymodbus is missing: apt-get install python3-pymodbus";
    const auto server = k.pymodbus ? std::make_unique<SensorProcess>("/usr/bin/python3",
                                                                     QStringList{VOR3_PYMODBUS_LINE} + k.server_args)
                                   : std::make_unique<SensorProcess>(k.server_args);
    ASSERT_FALSE(server->device().empty());
    const QStringList link =
        QStringList{"--port", QString::fromStdString(server->device()), "--address", "3"} + k.cli_args;

    const auto read = run_cli(QStringList{"read", "--trace"} + link);
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("txt_data_cfg(0)\tGerätecodierung:\t4660\n"), std::string::npos) << read.out;
    EXPECT_EQ(std::count(read.out.begin(), read.out.end(), '\n'), 30);
    if (k.first_trace) {
        EXPECT_TRUE(read.err.substr(0, read.err.find('\n')).ends_with(k.first_trace)) << read.err;
    }

    // Both parts, each read back by the write itself (exit 4 where the
    // read-back differs).
    const auto written =
        run_cli(QStringList{"write"} + link + QStringList{"txt_data_cfg(4)=950", "txt_data_in(0)=21,5"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("txt_data_in(0)\tExterne Temperaturvorgabe:\t"), std::string::npos) << written.out;

    const auto polled = run_cli(QStringList{"monitor"} + link + QStringList{"--count", "2"});
    EXPECT_EQ(polled.status, 0) << polled.err;
    EXPECT_EQ(std::count(polled.out.begin(), polled.out.end(), '\n'), 3) << polled.out;

    const auto found =
        run_cli(QStringList{"scan", "--first", "--port", QString::fromStdString(server->device())} + k.cli_args);
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, k.scan_found);
}

INSTANTIATE_TEST_SUITE_P(Carriers, OverTheNetwork, ::testing::ValuesIn(kCarriers),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// Each way a network can fail, as the command line tells it.
struct NetworkFault {
    const char* name;
    enum Where { Refused, Unanswered, Unknown, Sensor } where;
    QStringList server_args;  // for Sensor
    QStringList command;
    int status;
    const char* message;  // found in standard error
};

const char kClosed[] = "hat die Verbindung während der Übertragung geschlossen. Die nächste Anfrage verbindet neu.\n";

const NetworkFault kNetworkFaults[] = {
    {"connection refused",
     NetworkFault::Refused,
     {},
     {"read"},
     2,
     "vor3-cli: COM-Port not available,  8031\ntcp://127.0.0.1:"},
    {"connection refused to a scan", NetworkFault::Refused, {}, {"scan"}, 2, "lehnt die Verbindung ab"},
    {"no answer to the connection request",
     NetworkFault::Unanswered,
     {},
     {"read"},
     2,
     "antwortet nicht auf den Verbindungsaufbau (nach 3 s aufgegeben).\n"},
    {"name not found",
     NetworkFault::Unknown,
     {},
     {"read"},
     2,
     "tcp://vor3-no-such-host.invalid:4001 kennt das Netz nicht (Name nicht gefunden).\n"},
    {"closed in the middle of a reply", NetworkFault::Sensor, {"--close-mid-reply"}, {"read"}, 3, kClosed},
    {"gateway closes under a write",
     NetworkFault::Sensor,
     {"--framing", "modbus-tcp", "--close-mid-reply"},
     {"write", "txt_data_cfg(4)=950"},
     3,
     kClosed},
    {"gateway reaches no sensor",
     NetworkFault::Sensor,
     {"--framing", "modbus-tcp", "--exception", "11"},
     {"read"},
     3,
     "vor3-cli: Das Gateway erreicht keinen Sensor unter der Adresse 1: Modbus-Ausnahme 0B (Gateway: Zielgerät "
     "antwortet nicht).\n"},
    {"answers under another transaction",
     NetworkFault::Sensor,
     {"--framing", "modbus-tcp", "--bad-checksum"},
     {"read"},
     3,
     "vor3-cli: Kommunikationsprobleme, bitte Einstellungen überprüfen!\n"},
};

void PrintTo(const NetworkFault& k, std::ostream* os) { *os << k.name; }
class CliAgainstNetworkFault : public ::testing::TestWithParam<NetworkFault> {};

TEST_P(CliAgainstNetworkFault, ExitsWithTheStatusAndTheReason) {
    const NetworkFault& k = GetParam();
    std::unique_ptr<LoopbackSocket> socket;
    std::unique_ptr<SensorProcess> sensor;
    QString port = "tcp://vor3-no-such-host.invalid:4001";
    if (k.where == NetworkFault::Refused || k.where == NetworkFault::Unanswered) {
        socket = std::make_unique<LoopbackSocket>(k.where == NetworkFault::Unanswered);
        port = socket->url();
    } else if (k.where == NetworkFault::Sensor) {
        sensor = std::make_unique<SensorProcess>(QStringList{"--tcp", "0"} + k.server_args);
        port = QString::fromStdString(sensor->device());
    }
    QElapsedTimer took;
    took.start();
    const auto r = run_cli(QStringList{k.command.front(), "--port", port} + k.command.mid(1));
    EXPECT_EQ(r.status, k.status) << r.err;
    EXPECT_NE(r.err.find(k.message), std::string::npos) << r.err;
    EXPECT_LT(took.elapsed(), 10000);
}

INSTANTIATE_TEST_SUITE_P(Faults, CliAgainstNetworkFault, ::testing::ValuesIn(kNetworkFaults),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

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
    EXPECT_EQ(w.msg.details[0],
              sensor.device() + " " + std::string(kClosed).substr(0, std::string(kClosed).size() - 1));
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
