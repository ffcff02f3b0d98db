#include <gtest/gtest.h>

#include "link/traffic.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

std::vector<std::string> lines(const app::Program& p, const std::string& language = "1031") {
    std::vector<std::string> out;
    for (const auto& e : p.traffic.entries()) out.push_back(link::traffic_line(e, language));
    return out;
}

TEST(Traffic, AWholeReadLineByLine) {
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    // Requests by their range, answers by their values, coils bit by bit.
    const auto all = lines(h.prog);
    ASSERT_EQ(all.size(), 14u);
    EXPECT_EQ(all[0], "         0 ms  TX  01 03 00 06 00 01 64 0B  Adr. 1: Register 0x0006 lesen");
    EXPECT_EQ(all[3],
              "       350 ms  RX  01 03 10 12 34 00 69 00 00 00 01 03 20 04 B0 00 0A 00 14 CC 9E  "
              "Adr. 1: Register 4660, 105, 0, 1, 800, 1200, 10, 20");
    EXPECT_EQ(all[8], "       750 ms  TX  01 01 00 00 00 08 3D CC  Adr. 1: Coils 0x0000..0x0007 lesen");
    EXPECT_EQ(all[9], "       800 ms  RX  01 01 01 7F 10 68  Adr. 1: Coils 11111110");
    // A write: values and coils as the sensor gets them, its answers; the
    // location id is an unsigned register, the offsets signed ones.
    h.prog.traffic.clear();
    h.f.txt_data_cfg(3).set_text("40000");
    h.f.txt_data_cfg(8).set_text("-1,5");
    h.f.SSTab1.set_tab(1);
    h.f.chk_cfg(1).set_value(0);
    h.f.set_parameter.press();
    ASSERT_TRUE(h.settle());
    const auto written = lines(h.prog, "1033");
    ASSERT_GE(written.size(), 8u);
    const std::vector<std::string> said = {
        "addr 1: write registers 0x0002..0x0006: 0, 40000, 800, 1200, 10", "addr 1: 0x0002..0x0006 written",
        "addr 1: write registers 0x0007..0x000A: 20, -15, 0, 0", "addr 1: write coils 0x0000..0x0007: 10111110",
        "addr 1: registers 4660, 105, 0, 40000, 800, 1200, 10, 20"};
    const std::size_t at[] = {0, 1, 2, 4, 7};
    for (std::size_t i = 0; i < said.size(); ++i) EXPECT_TRUE(written[at[i]].ends_with(said[i])) << written[at[i]];
}

TEST(Traffic, NoiseBadChecksumsAndExceptionsAreNamed) {
    const struct {
        const char* mode;
        std::function<void(sim::Faults&)> fault;
        std::string line;  // the received line, from the direction on
    } cases[] = {
        {"ASCII", [](sim::Faults& f) { f.noise_before = "xy"; }, "RX  78 79  \"xy\"  noise, dropped"},
        {"RTU", [](sim::Faults& f) { f.noise_before = std::string("\x01\x02", 2); }, "RX  01 02  noise, dropped"},
        {"ASCII", [](sim::Faults& f) { f.bad_checksum = true; },
         "RX  3A 30 31 30 33 30 32 30 30 30 41 46 31 0D 0A  \":010302000AF1\\r\\n\"  checksum wrong"},
        {"RTU", [](sim::Faults& f) { f.bad_checksum = true; }, "RX  01 03 02 00 0A C7 BC  checksum wrong"},
        {"RTU", [](sim::Faults& f) { f.exception_code = 2; },
         "RX  01 83 02 C0 F1  addr 1: exception 02 (illegal data address) to function 03"},
    };
    for (const auto& k : cases) {
        SimHarness h(k.mode);
        k.fault(h.sensor.faults());
        h.f.cmd_read_device.press();
        h.clock.advance(500);
        const auto all = lines(h.prog, "1033");
        ASSERT_GE(all.size(), 2u) << k.line;
        EXPECT_EQ(all[1].substr(15), k.line);
    }
}

// A monitor left running for days keeps the last frames, not every frame.
TEST(Traffic, TheRecordKeepsTheLastTenThousand) {
    link::TrafficRecord record;
    for (int i = 0; i < 10005; ++i) record.add({});
    EXPECT_EQ(record.entries().size(), link::TrafficRecord::kCapacity);
    EXPECT_EQ(record.entries().front().number, 6u);
}

}  // namespace
}  // namespace vor3::test
