#include <gtest/gtest.h>

#include "ops/write_parameters.h"
#include "reply/reader.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

// The read chain after the register-6 step, as the read-back after a write
// runs it.
const std::vector<std::string> kReadBack = {"010300000008", "010300080003", "010301000003",
                                            "010100000008", "010302000003", "010101000005"};

std::vector<std::string> tail_from(const std::vector<std::string>& all, std::size_t first) {
    return {all.begin() + static_cast<long>(first), all.end()};
}

TEST(Write, MarkedConfigurationIsWrittenInBlocksThenReadBack) {
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    const std::size_t before = h.requests().size();
    h.f.txt_data_cfg(4).set_text("900");
    h.f.txt_data_cfg(8).set_text("-1,5");
    h.f.SSTab1.set_tab(1);
    h.f.chk_cfg(1).set_value(0);
    EXPECT_TRUE(h.f.set_parameter.enabled());
    h.f.set_parameter.press();
    EXPECT_TRUE(h.prog.frmState.Abbruch.visible());
    ASSERT_TRUE(h.clock.run_until([&] { return h.requests().size() >= before + 3 + kReadBack.size(); }, 60000));
    ASSERT_TRUE(h.clock.run_until([&] { return !h.prog.frmState.loaded(); }, 60000));
    const auto sent = tail_from(h.requests(), before);
    EXPECT_EQ(sent[0], "0110000200050A" "0000" "0001" "0384" "04B0" "000A");
    EXPECT_EQ(sent[1], "01100007000408" "0014" "FFF1" "0000" "0000");
    EXPECT_EQ(sent[2], "010F0000000801" "7D");
    EXPECT_EQ(tail_from(sent, 3), kReadBack);
    EXPECT_EQ(h.sensor.holding(4), 900);
    EXPECT_EQ(h.sensor.holding(8), 0xFFF1);
    EXPECT_FALSE(h.sensor.coil(1));
    EXPECT_EQ(h.f.txt_data_cfg(4).text(), "900");
    EXPECT_EQ(h.f.txt_data_cfg(4).fore_color(), form::kNormalText);
    EXPECT_DOUBLE_EQ(h.c.g.image.cfg_value[8], -1.5);
    EXPECT_FALSE(h.f.set_parameter.enabled());
    EXPECT_TRUE(h.msg.shown.empty());
    // Field 7 was written, so the block timers now follow it: 57 + 20 x 15.
    EXPECT_EQ(h.c.g.transfer.reply_delay, 20);
    EXPECT_EQ(h.f.Timer6.interval(), 357);
    EXPECT_FALSE(h.f.reply_delay_changed);
}

TEST(Write, AMinimumResponseTimeBeyondSixteenBitsTakesTheErrorPath) {
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    h.f.txt_data_cfg(7).set_text("99999");  // typed, the field not left
    // The acknowledgement of the last configuration block arrives.
    auto& t = h.c.g.transfer;
    t.request_kind = model::kWriteConfigBlock;
    t.reg_address = 7;
    h.f.countWriteRegister = 4;
    t.request_frame = "01100007000408869F000000000000";
    std::string ack;
    link::hex_to_bytes("011000070004", ack);
    const auto crc = link::crc16(ack);
    ack += {static_cast<char>(crc & 0xFF), static_cast<char>(crc >> 8)};
    reply::receive_bytes(h.c, ack);
    EXPECT_EQ(h.msg.shown, (std::vector<std::string>{"MSCOMM1_ERROR"}));
    EXPECT_EQ(t.request_kind, 0);
    EXPECT_FALSE(h.f.set_parameter.enabled());
    EXPECT_TRUE(h.f.read_out_parameter.enabled());
}

TEST(Write, MarkedExternalValuesAndLedCoilsAreWrittenThenReadBack) {
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    const std::size_t before = h.requests().size();
    h.f.txt_data_in(0).set_text("22,5");
    h.f.SSTab1.set_tab(1);
    h.f.chk_inp_bit(0).set_value(1);
    h.f.chk_inp_bit(2).set_value(1);
    h.f.set_parameter.press();
    EXPECT_FALSE(h.prog.frmState.Abbruch.visible());
    ASSERT_TRUE(h.clock.run_until([&] { return h.requests().size() >= before + 2 + kReadBack.size(); }, 60000));
    ASSERT_TRUE(h.clock.run_until([&] { return !h.prog.frmState.loaded(); }, 60000));
    const auto sent = tail_from(h.requests(), before);
    EXPECT_EQ(sent[0], "01100200000306" "00E1" "0000" "0000");
    EXPECT_EQ(sent[1], "010F0100000501" "05");
    EXPECT_EQ(tail_from(sent, 2), kReadBack);
    EXPECT_EQ(h.sensor.holding(0x200), 225);
    EXPECT_TRUE(h.sensor.coil(0x102));
    EXPECT_EQ(h.f.txt_data_in(0).text(), "22,5");
    EXPECT_EQ(h.f.chk_inp_bit(2).value(), 1);
    EXPECT_EQ(h.f.chk_inp_bit(2).fore_color(), form::kNormalText);
}

TEST(Write, NothingMarkedAsksFirst) {
    SimHarness h;
    ASSERT_TRUE(h.read_device());
    const std::size_t before = h.requests().size();
    h.f.set_parameter.set_enabled(true);
    h.f.set_parameter.press();
    EXPECT_EQ(h.confirm.asked, 1);
    h.clock.advance(20000);
    EXPECT_EQ(h.requests().size(), before);  // cancelled: nothing sent

    h.confirm.answer = true;
    h.f.set_parameter.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.requests().size() >= before + 2; }, 60000));
    EXPECT_EQ(h.requests()[before], "0110020000030600000000" "0000");
}

TEST(Write, RegisterValuesFromFieldTexts) {
    struct Case { const char* text; int scale; const char* hex; } cases[] = {
        {"-2,5", 10, "FFE7"}, {"500", 1, "01F4"}, {"-1,5", 10, "FFF1"}, {"2", 10, "0014"},
        {"-500", 1, "FE0C"}, {"65535", 1, "FFFF"}, {"0,25", 10, "0002"}, {"0,35", 10, "0004"}, {"x", 1, ""}};
    for (const auto& k : cases) EXPECT_EQ(ops::register_hex(k.text, k.scale, ","), k.hex) << k.text;
}

}  // namespace
}  // namespace vor3::test
