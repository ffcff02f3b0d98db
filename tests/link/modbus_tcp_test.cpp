// The program's side of the network: port names, and the framing to a
// Modbus TCP gateway.
#include <gtest/gtest.h>

#include <utility>

#include "app/cli_monitor.h"
#include "app/program.h"
#include "form/virtual_clock.h"
#include "link/hex.h"
#include "link/mbap.h"
#include "link/modbus_tcp_port.h"
#include "link/network_address.h"
#include "link/transmit.h"
#include "sim/sim_port.h"
#include "sim/sim_test_support.h"
#include "sim/simulated_sensor.h"
#include "support/fake_platform.h"
#include "support/fakes.h"

namespace vor3::test {
namespace {

using form::Carrier;
using sim::test::bytes;

// A network port's name gives its address, its usual port where it has
// one; anything else is a serial port's name.
TEST(NetworkPortName, GivesItsAddressOrNone) {
    EXPECT_EQ(link::parse_network_port("modbus-tcp://10.0.0.7"),
              (link::NetworkAddress{Carrier::ModbusTcp, "10.0.0.7", 502}));
    EXPECT_EQ(link::parse_network_port("modbus-tcp://[fe80::1%eth0]:1502"),
              (link::NetworkAddress{Carrier::ModbusTcp, "fe80::1%eth0", 1502}));
    EXPECT_EQ(link::parse_network_port("tcp://host"), std::nullopt);  // a serial device server has no usual port
    EXPECT_FALSE(link::names_network_port("/dev/ttyUSB0"));
}

// Requests go out under transactions 1, 2, ...; what the gateway sends
// back arrives in pieces; what the port above reads is framed as the
// request was.
struct Exchange {
    const char* name;
    std::vector<const char*> requests;  // ADUs as hex; "" repeats the one before
    std::vector<const char*> arriving;  // MBAP bytes as hex, read one piece at a time
    const char* taken;                  // the ADUs passed up, as hex
    std::vector<link::ModbusTcpPort::Drop> dropped;
};

using Drop = link::ModbusTcpPort::Drop;
// clang-format off
const Exchange kExchanges[] = {
    {"answer", {"010300060001"}, {"00010000000501030200" "0A"}, "01030200" "0A", {}},
    {"answer in pieces", {"010300060001"}, {"000100", "000005010302", "000A"}, "010302000A", {}},
    {"answer to the first copy after the repeat", {"010300060001", ""},
     {"000100000005010302000A"}, "010302000A", {}},
    {"answer to the poll before under the same bytes", {"010300060001", "010300060001", ""},
     {"000100000005010302000A" "000300000005010302000B"}, "010302000B", {Drop::Transaction}},
    {"late answer to the request before", {"010300060001", "010300000008"},
     {"000100000005010302000A"}, "", {Drop::Transaction}},
    {"transaction never sent", {"010300060001"}, {"000900000005010302000A"}, "", {Drop::Transaction}},
    {"length longer than the answer says", {"010300060001"}, {"00010000000601030200" "0A00"}, "", {Drop::Header}},
    {"a header that cannot be one gives up the rest", {"010300060001"},
     {"00010000FF05010302000A" "000100000005010302000A"}, "", {Drop::Header}},
};
// clang-format on

void PrintTo(const Exchange& k, std::ostream* os) { *os << k.name; }
class GatewayExchange : public ::testing::TestWithParam<Exchange> {};

TEST_P(GatewayExchange, TakesOnlyAnswersToTheRequestOutstanding) {
    const Exchange& k = GetParam();
    FakePort line;
    line.open = true;
    line.carries = Carrier::ModbusTcp;
    std::vector<Drop> dropped;
    bool repeat = false;
    link::ModbusTcpPort port(
        line, [&](Drop d) { dropped.push_back(d); }, [&] { return repeat; });
    std::string last;
    for (const char* request : k.requests) {
        repeat = *request == '\0';
        if (!repeat) last = request;
        port.write(link::frame_request(last, model::Framing::Rtu));
    }
    ASSERT_EQ(line.written.size(), k.requests.size());
    EXPECT_EQ(link::bytes_to_hex(line.written[0]), "0001000000" + std::string("06") + k.requests[0]);
    std::string read;
    for (const char* piece : k.arriving) {
        line.incoming += bytes(piece);
        if (port.waiting_count() > 0) read += port.read_all();
    }
    std::string expected;
    const std::string taken = k.taken;
    for (std::size_t at = 0; at < taken.size(); at += 10)  // every answer here is five bytes
        expected += link::frame_request(taken.substr(at, 10), model::Framing::Rtu);
    EXPECT_EQ(link::bytes_to_hex(read), link::bytes_to_hex(expected));
    EXPECT_EQ(dropped, k.dropped);
}

INSTANTIATE_TEST_SUITE_P(Answers, GatewayExchange, ::testing::ValuesIn(kExchanges),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// A gateway that loses its answer to one poll and, answering the repeat,
// first sends again its answer to the poll before, under that poll's
// transaction.
struct ForgetfulGateway : form::ForwardingPort {
    using ForwardingPort::ForwardingPort;
    std::size_t lost = 3;              // the answer lost, counted from 1
    std::vector<std::string> answers;  // every answer the sensor gave
    std::string arriving, passed;

    int waiting_count() override {
        take();
        return static_cast<int>(passed.size());
    }
    std::string read_all() override {
        take();
        return std::exchange(passed, {});
    }
    void take() {
        if (inner_.waiting_count() > 0) arriving += inner_.read_all();
        for (int n; (n = link::mbap_frame_length(arriving)) > 0 && static_cast<std::size_t>(n) <= arriving.size();) {
            answers.push_back(arriving.substr(0, static_cast<std::size_t>(n)));
            arriving.erase(0, static_cast<std::size_t>(n));
            if (answers.size() == lost) continue;
            if (answers.size() == lost + 1) passed += answers[lost - 2];
            passed += answers.back();
        }
    }
};

// Each poll of the read-out is a request of its own, though its bytes are
// those of the poll before: the old answer is no reading, the fresh one is,
// and the monitor goes on to its count.
TEST(BehindGateway, MonitorTakesNoAnswerToAnEarlierPoll) {
    for (const char* mode : {"rtu", "ascii"}) {
        form::VirtualClock clock;
        sim::SimulatedSensor sensor{sim::Framing::Auto, 1};
        sim::SimPort sim_port{clock, sensor};
        ForgetfulGateway gateway{sim_port};
        app::CollectedMessages msg;
        app::NoConfirm confirm;
        app::Program prog{gateway, msg, confirm, clock};
        FakeWallClock stamps;
        prog.use_wall_clock(stamps);
        sim_port.set_carrier(Carrier::ModbusTcp, 2);
        app::CliMonitor monitor(prog, msg,
                                app::parse_cli({"monitor", "--port", "sim", "--mode", mode, "--count", "6"}));
        std::vector<std::string> lines, notes;
        auto outcome = monitor.start();
        while (outcome == app::CliMonitor::Outcome::Running && clock.now_ms() < 60000) {
            // The CO2 value counts the requests the sensor heard.
            sensor.set_holding(0x102, static_cast<std::uint16_t>(sensor.requests().size()));
            clock.advance(10);
            outcome = monitor.poll(lines, notes);
        }
        EXPECT_EQ(outcome, app::CliMonitor::Outcome::Done) << mode;
        ASSERT_GT(gateway.answers.size(), gateway.lost) << mode;
        ASSERT_EQ(lines.size(), 6u) << mode;
        std::vector<long> co2;
        for (const auto& line : lines) co2.push_back(std::stol(line.substr(line.rfind(',') + 1)));
        // The third poll's answer was lost; its repeat was the fourth request.
        EXPECT_EQ(co2, (std::vector<long>{0, 1, 3, 4, 5, 6})) << mode;
        int dropped = 0;
        for (const auto& e : prog.traffic.entries()) dropped += e.kind == link::TrafficEntry::Kind::WrongTransaction;
        EXPECT_EQ(dropped, 1) << mode;
    }
}

}  // namespace
}  // namespace vor3::test
