// Framing on the wire: checksums, addressing, and finding requests in a
// stream that carries noise, other stations' traffic and cut-up frames.
#include <gtest/gtest.h>

#include "sim/simulated_sensor.h"
#include "sim_test_support.h"

namespace vor3::sim {
namespace {

using test::ascii;
using test::bytes;
using test::rtu;

std::vector<std::string> replies_to(SimulatedSensor& sensor, std::string_view input) {
    std::vector<std::string> out;
    for (const Reply& r : sensor.receive(input, 0)) out.push_back(r.bytes);
    return out;
}

struct WireCase {
    const char* what;
    Framing framing;
    int address;
    std::string request;
    std::string reply;  // empty: none expected
};

const char kAsciiRegisters[] = ":0103161234006900000001032004B0000A001400000000000041\r\n";

const WireCase kWireCases[] = {
    {"rtu read by hand", Framing::Rtu, 1, bytes("01030000000AC5CD"),
     bytes("0103141234006900000001032004B0000A0014000000001B3A")},
    {"ascii refusal by hand", Framing::Ascii, 17, ":1103006B00037E\r\n", ":1183026A\r\n"},
    {"ascii lower case", Framing::Ascii, 1, ":01030000000bf1\r\n", kAsciiRegisters},
    {"ascii cut by a new start", Framing::Ascii, 1, ":0103000:01030000000BF1\r\n", kAsciiRegisters},
    {"auto takes rtu", Framing::Auto, 1, rtu("010100000008"), rtu("0101017F")},
    {"auto takes ascii", Framing::Auto, 1, ascii("010100000008"), ascii("0101017F")},
    {"auto takes rtu to address 58 although it starts with a colon", Framing::Auto, 58, rtu("3A0300060001"),
     rtu("3A0302000A")},
    {"rtu other address", Framing::Rtu, 1, rtu("020300000001"), ""},
    {"rtu bad crc", Framing::Rtu, 1, bytes("01030000000AC5CE"), ""},
    {"ascii other address", Framing::Ascii, 1, ascii("020300000001"), ""},
    {"ascii bad lrc", Framing::Ascii, 1, ":01030000000BF2\r\n", ""},
    {"ascii to rtu sensor", Framing::Rtu, 1, ascii("010300000001"), ""},
    {"rtu to ascii sensor", Framing::Ascii, 1, rtu("010300000001"), ""},
    // Whatever precedes a request, it is answered exactly once.
    {"rtu behind noise and an unknown function", Framing::Rtu, 1, bytes("FFF80310133742") + rtu("010300070001"),
     rtu("0103020014")},
    {"rtu behind the start of its own request", Framing::Rtu, 1, bytes("0103") + rtu("010300070001"),
     rtu("0103020014")},
    {"rtu behind another station's request and reply", Framing::Rtu, 1,
     rtu("020300000001") + rtu("0203020000") + rtu("010300070001"), rtu("0103020014")},
    {"rtu behind a broken crc and a write cut short", Framing::Rtu, 1,
     bytes("01030000000AC5CE0110000400020403") + rtu("010300070001"), rtu("0103020014")},
};

void PrintTo(const WireCase& k, std::ostream* os) { *os << k.what; }
class WireTest : public ::testing::TestWithParam<WireCase> {};

TEST_P(WireTest, AnswersOrIgnores) {
    const WireCase& c = GetParam();
    SimulatedSensor sensor(c.framing, c.address);
    const auto replies = replies_to(sensor, c.request);
    EXPECT_EQ(replies, c.reply.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.reply});
    EXPECT_EQ(sensor.requests().size(), c.reply.empty() ? 0u : 1u) << "only requests for this sensor count";
}

INSTANTIATE_TEST_SUITE_P(Frames, WireTest, ::testing::ValuesIn(kWireCases),
                         [](const auto& info) { return test::case_name(info.param.what); });

TEST(Stream, RequestCutIntoPiecesIsAnsweredWhenComplete) {
    for (Framing framing : {Framing::Rtu, Framing::Ascii, Framing::Auto}) {
        SimulatedSensor sensor(framing);
        const char write[] = "0110000400020403840578";
        const std::string request = framing == Framing::Rtu ? rtu(write) : ascii(write);
        for (std::size_t i = 0; i + 1 < request.size(); ++i)
            EXPECT_TRUE(sensor.receive(request.substr(i, 1), 0).empty()) << "byte " << i;
        EXPECT_EQ(sensor.receive(request.substr(request.size() - 1), 0).size(), 1u);
        EXPECT_EQ(sensor.holding(4), 900);
    }
}

TEST(Stream, SeveralRequestsInOneChunkAreAnsweredInOrder) {
    SimulatedSensor sensor(Framing::Auto);
    const auto replies = replies_to(sensor, rtu("010300060001") + ascii("010300070001") + rtu("010100000001"));
    EXPECT_EQ(replies, (std::vector<std::string>{rtu("010302000A"), ascii("0103020014"), rtu("01010101")}));
    EXPECT_EQ(sensor.requests(), (std::vector<std::string>{"010300060001", "010300070001", "010100000001"}));
}

}  // namespace
}  // namespace vor3::sim
