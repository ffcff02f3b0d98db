#include <gtest/gtest.h>

#include "ops/read_device.h"
#include "reply/decoder.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

TEST(Decoder, LedCoilsComeEachFromTheirOwnBit) {
    struct Case { const char* byte; int bits[5]; } cases[] = {
        {"80", {0, 0, 0, 0, 0}}, {"E0", {0, 0, 0, 0, 0}}, {"1F", {1, 1, 1, 1, 1}},
        {"FF", {1, 1, 1, 1, 1}}, {"15", {1, 0, 1, 0, 1}}, {"A2", {0, 1, 0, 0, 0}}};
    for (const auto& k : cases) {
        SimHarness h;
        h.c.g.transfer.request_kind = model::kReadLedCoils;
        reply::decode(h.c, std::string("010101") + k.byte + "0000");
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(h.f.chk_inp_bit(i).value(), k.bits[i]) << k.byte << " coil " << i;
            EXPECT_EQ(h.c.g.image.inp_bit[static_cast<std::size_t>(i)], k.bits[i]);
        }
    }
}

TEST(Decoder, ConfigCoilsAndUnitList) {
    SimHarness h;
    h.c.g.transfer.request_kind = model::kReadConfigCoils;
    h.f.lbl_unit(0).set_caption("x");
    reply::decode(h.c, "0101010D0000");
    const int bits[] = {1, 0, 1, 1, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(h.f.chk_cfg(i).value(), bits[i]) << i;
    EXPECT_EQ(h.f.cmb_bit_cfg(3).list_index(), 1);
    EXPECT_EQ(h.f.cmb_bit_cfg(3).fore_color(), form::kNormalText);
    EXPECT_EQ(h.f.lbl_unit(0).caption(), "x");  // the coil read leaves the unit label alone
    EXPECT_EQ(h.c.g.transfer.request_kind, model::kReadExternalValues);  // chained
}

TEST(Decoder, ValuesAsTheWindowShowsThem) {
    SimHarness h;
    auto& t = h.c.g.transfer;
    t.request_kind = 1;
    t.reg_address = 0x100;
    h.f.countReadRegister = 3;
    reply::decode(h.c, "01030600E6020301F40000");
    EXPECT_EQ(h.f.txt_data_out(0).text(), "23,0");  // measured tenths keep their decimal
    EXPECT_EQ(h.f.txt_data_out(1).text(), "51,5");
    EXPECT_EQ(h.f.txt_data_out(2).text(), "500");
    EXPECT_EQ(t.request_kind, model::kReadConfigCoils);

    t.request_kind = 1;
    t.reg_address = 8;
    h.f.countReadRegister = 3;
    reply::decode(h.c, "010306FFFFFFFBFFFF0000");
    EXPECT_EQ(h.f.txt_data_cfg(8).text(), "-0,1");
    EXPECT_EQ(h.f.txt_data_cfg(9).text(), "-0,5");
    EXPECT_EQ(h.f.txt_data_cfg(10).text(), "-1");
    EXPECT_EQ(t.reg_address, 0x100);

    // Measured tenths keep their decimal, also just below zero.
    t.request_kind = 1;
    h.f.countReadRegister = 3;
    reply::decode(h.c, "010306FFFB00000000");
    EXPECT_EQ(h.f.txt_data_out(0).text(), "-0,5");
    EXPECT_EQ(h.f.txt_data_out(1).text(), "0,0");
}

TEST(Decoder, TheBlockTimerAsksForTheRestOfTheRangeWhateverTheCounters) {
    struct Case { std::int16_t reg; std::int16_t already; const char* request; } cases[] = {
        {0, 0, "010300000008"}, {8, 8, "010300080003"}, {8, 11, "010300080003"},
        {10, 30, "0103000A0001"}, {0x100, 0, "010301000003"}, {0x100, 3, "010301000003"}, {0x101, 9, "010301010002"}};
    for (const auto& k : cases) {
        SimHarness h;
        h.c.g.transfer.reg_address = k.reg;
        h.f.alreadyRead = k.already;
        ops::Timer6_Timer(h.c);
        ASSERT_EQ(h.requests().size(), 1u);
        EXPECT_EQ(h.requests()[0], k.request) << k.reg;
    }
}

}  // namespace
}  // namespace vor3::test
