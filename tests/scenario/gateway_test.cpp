// The sensor behind a Modbus TCP gateway: the program frames its requests
// as on the line, the port to the gateway wraps them.
#include <gtest/gtest.h>

#include "link/traffic.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

struct Gateway : SimHarness {
    explicit Gateway(const char* mode = "RTU") : SimHarness(mode) { sim_port.set_carrier(form::Carrier::ModbusTcp, 2); }
    std::vector<std::string> traffic(const std::string& language = "1031") const {
        std::vector<std::string> out;
        for (const auto& e : prog.traffic.entries()) out.push_back(link::traffic_line(e, language).substr(10));
        return out;
    }
};

class BehindGateway : public ::testing::TestWithParam<const char*> {};

TEST_P(BehindGateway, ReadsWritesAndPollsAsOnALine) {
    Gateway h(GetParam());
    ASSERT_TRUE(h.read_device());
    EXPECT_TRUE(h.msg.shown.empty());
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_EQ(h.f.txt_data_cfg(0).text(), "4660");
    EXPECT_EQ(h.f.txt_data_cfg(7).text(), "20");
    // The header decoded beside the PDU, whatever the framing chosen.
    const auto lines = h.traffic();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0],
              " ms  TX  00 01 00 00 00 06 01 03 00 06 00 01  Transaktion 1, Unit-ID 1 – Adr. 1: Register 0x0006 lesen");
    EXPECT_EQ(lines[1], " ms  RX  00 01 00 00 00 05 01 03 02 00 0A  Transaktion 1, Unit-ID 1 – Adr. 1: Register 10");
    EXPECT_EQ(lines[13].substr(0, 35), " ms  RX  00 07 00 00 00 04 01 01 01");

    // Both parts written, then read back.
    h.edit_both_parts();
    h.f.set_parameter.press();
    ASSERT_TRUE(h.settle());
    EXPECT_TRUE(h.msg.shown.empty());
    EXPECT_TRUE(h.both_parts_written());

    // The read-out polls at its pace.
    h.sensor.set_holding(0x100, 215);
    h.f.chk_read_out.set_value(1);
    h.clock.advance(3 * h.f.Timer6.interval());
    EXPECT_EQ(h.f.txt_data_out(0).text(), "21,5");
    h.sensor.set_holding(0x100, 199);
    h.clock.advance(2 * h.f.Timer6.interval());
    EXPECT_EQ(h.f.txt_data_out(0).text(), "19,9");
    h.f.chk_read_out.set_value(0);
    EXPECT_TRUE(h.msg.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Framings, BehindGateway, ::testing::Values("RTU", "ASCII"));

// The gateway sends the answer under another transaction: it is dropped
// and named, the request is repeated, and the read gives up as on a silent
// line.
TEST(BehindGateway, AnAnswerUnderAnotherTransactionIsDroppedAndNamed) {
    Gateway h;
    h.sensor.faults().bad_checksum = true;  // to a gateway: the transaction is off by one
    h.read_device();
    EXPECT_TRUE(h.f.warning_line().visible());
    EXPECT_EQ(h.f.txt_data_cfg(0).text(), "");
    const auto lines = h.traffic("1033");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], " ms  RX  00 02 00 00 00 05 01 03 02 00 0A  transaction 2, unit 1 – addr 1: registers 10");
    EXPECT_EQ(lines[2], " ms  --  answer above dropped: no request outstanding has its transaction identifier");
}

}  // namespace
}  // namespace vor3::test
