#include <gtest/gtest.h>

#include "model/globals.h"
#include "support/harness.h"
#include "ui/status_window.h"

namespace vor3::test {
namespace {

TEST(StatusWindow, BarStepsTenTimesAndTheTimeLimitClosesIt) {
    SimHarness h;
    auto& s = h.prog.frmState;
    h.c.g.transfer.reply_delay = 100;
    h.c.g.transfer.request_kind = model::kReadRegisterBlock;
    ui::ShowMsgWindow(h.c);
    EXPECT_TRUE(s.loaded());
    EXPECT_TRUE(s.visible());
    EXPECT_FALSE(h.f.enabled());
    EXPECT_FALSE(s.Abbruch.visible());
    EXPECT_EQ(s.lblTxt.caption(), "Warten ...");
    std::vector<int> steps;
    for (int i = 0; i < 12; ++i) {
        h.clock.advance(1586);
        if (s.loaded()) steps.push_back(s.ProgressFile.value());
    }
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(s.loaded());  // closed at 15859 ms
    EXPECT_TRUE(h.f.enabled());
    // A read the time limit cut off is not shown as finished, and the
    // next read starts afresh.
    EXPECT_TRUE(h.f.lbl_desc(16).visible());
    EXPECT_EQ(h.c.g.transfer.request_kind, model::kReadRegisterBlock);
    EXPECT_TRUE(h.c.g.transfer.bus_ready);
}

TEST(StatusWindow, CancelIsOfferedOnlyForAConfigurationWrite) {
    SimHarness h;
    auto& s = h.prog.frmState;
    for (int kind : {1, 5, 6}) {
        h.c.g.transfer.request_kind = kind;
        ui::ShowMsgWindow(h.c);
        EXPECT_FALSE(s.Abbruch.visible()) << kind;
        ui::CloseWindow(h.c);
    }
    h.c.g.transfer.request_kind = model::kWriteConfigBlock;
    h.f.Timer1.start();
    ui::ShowMsgWindow(h.c);
    EXPECT_TRUE(s.Abbruch.visible());
    s.Abbruch.press();
    EXPECT_FALSE(s.loaded());
    EXPECT_TRUE(h.f.enabled());
    EXPECT_FALSE(h.f.Timer1.enabled());
    EXPECT_EQ(h.c.g.transfer.request_kind, 0);
    h.clock.advance(100000);
    EXPECT_TRUE(h.port.sent.empty());  // no re-read after a cancel
    EXPECT_FALSE(h.f.lbl_desc(16).visible());
}

TEST(StatusWindow, LongResponseTimesGiveLongPeriodsWithoutOverflow) {
    // Above 2184 the product with 15 left 16 bits; above 3276 the product
    // with 10; a time limit over 65535 ms must still run.
    struct Case { int baud; std::int16_t delay; std::int64_t block; double limit; } cases[] = {
        {9600, 100, 1557, 15859.375}, {9600, 0, 57, 859.375}, {57600, 5, 85, 893.2291666},
        {9600, 2185, 32832, 328609.375}, {9600, 3277, 49212, 492409.375}, {9600, 32767, 491562, 4915909.375},
        {9600, -100, 1, -14140.625}};
    for (const auto& k : cases) {
        EXPECT_EQ(model::block_timer_period(std::to_string(k.baud), k.delay), k.block) << k.delay;
        EXPECT_NEAR(model::status_time_limit(std::to_string(k.baud), k.delay), k.limit, 0.01) << k.delay;
    }
    SimHarness h;
    h.c.g.transfer.reply_delay = 3277;
    h.c.g.transfer.request_kind = 1;
    ui::ShowMsgWindow(h.c);
    EXPECT_EQ(h.prog.frmState.Timer1SW.interval(), 492409);
    EXPECT_TRUE(h.prog.frmState.Timer1SW.enabled());
    h.clock.advance(492409);
    EXPECT_FALSE(h.prog.frmState.loaded());
}

TEST(StatusWindow, ASlowDisplayIntervalReadsTheWholeDevice) {
    SimHarness h;
    h.sensor.set_holding(6, 2500);  // 37.5 s between blocks
    ASSERT_TRUE(h.read_device(400000));
    EXPECT_EQ(h.f.Timer6.interval(), 37557);
    EXPECT_TRUE(h.msg.shown.empty());
    EXPECT_EQ(h.f.txt_data_cfg(6).text(), "2500");
    EXPECT_FALSE(h.f.lbl_desc(16).visible());
}

}  // namespace
}  // namespace vor3::test
