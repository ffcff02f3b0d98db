#include <gtest/gtest.h>

#include "link/traffic.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

// The gateway sends the answer under another transaction: it is dropped
// and named, the request is repeated, and the read gives up as on a silent
// line.
TEST(BehindGateway, AnAnswerUnderAnotherTransactionIsDroppedAndNamed) {
    SimHarness h;
    h.sim_port.set_carrier(form::Carrier::ModbusTcp, 2);
    h.sensor.faults().bad_checksum = true;  // to a gateway: the transaction is off by one
    h.read_device();
    EXPECT_TRUE(h.f.warning_line().visible());
    EXPECT_EQ(h.f.txt_data_cfg(0).text(), "");
    std::vector<std::string> lines;
    for (const auto& e : h.prog.traffic.entries()) lines.push_back(link::traffic_line(e, "1033").substr(10));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              " ms  TX  00 01 00 00 00 06 01 03 00 06 00 01  transaction 1, unit 1 – addr 1: read registers 0x0006");
    EXPECT_EQ(lines[1], " ms  RX  00 02 00 00 00 05 01 03 02 00 0A  transaction 2, unit 1 – addr 1: registers 10");
    EXPECT_EQ(lines[2], " ms  --  answer above dropped: no request outstanding has its transaction identifier");
}

}  // namespace
}  // namespace vor3::test
