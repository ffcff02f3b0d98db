// The program's side of the network: port names, and the framing to a
// Modbus TCP gateway.
#include <gtest/gtest.h>

#include "link/hex.h"
#include "link/modbus_tcp_port.h"
#include "link/network_address.h"
#include "link/transmit.h"
#include "sim/sim_test_support.h"
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
    std::vector<const char*> requests;  // ADUs as hex
    std::vector<const char*> arriving;  // MBAP bytes as hex, read one piece at a time
    const char* taken;                  // the ADUs passed up, as hex
    std::vector<link::ModbusTcpPort::Drop> dropped;
};

using Drop = link::ModbusTcpPort::Drop;
// clang-format off
const Exchange kExchanges[] = {
    {"answer", {"010300060001"}, {"00010000000501030200" "0A"}, "01030200" "0A", {}},
    {"answer in pieces", {"010300060001"}, {"000100", "000005010302", "000A"}, "010302000A", {}},
    {"answer to the first copy after the repeat", {"010300060001", "010300060001"},
     {"000100000005010302000A"}, "010302000A", {}},
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
    link::ModbusTcpPort port(line, [&](Drop d) { dropped.push_back(d); });
    for (const char* request : k.requests) port.write(link::frame_request(request, "RTU"));
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
        expected += link::frame_request(taken.substr(at, 10), "RTU");
    EXPECT_EQ(link::bytes_to_hex(read), link::bytes_to_hex(expected));
    EXPECT_EQ(dropped, k.dropped);
}

INSTANTIATE_TEST_SUITE_P(Answers, GatewayExchange, ::testing::ValuesIn(kExchanges),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

}  // namespace
}  // namespace vor3::test
