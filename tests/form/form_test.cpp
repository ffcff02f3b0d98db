#include <gtest/gtest.h>

#include <string>

#include "form/timer.h"
#include "form/virtual_clock.h"

namespace vor3::form {
namespace {

// Every transfer is paced by these timers under the virtual clock: a start
// while running keeps the period, a stop and start or a new interval begins
// one from now, due ticks fire in time order and a handler may stop another.
TEST(Timers, TickInTimeOrderAndRestartAsTheToolkitDoes) {
    VirtualClock clock;
    std::string log;  // each tick as name and time
    auto watch = [&](Timer& t) {
        t.on_tick = [&, timer = &t] { log += timer->name() + std::to_string(clock.now_ms()) + " "; };
    };
    Timer t(clock, "t", 100), a(clock, "a", 30), b(clock, "b", 20), never(clock, "zero", 0);
    for (Timer* each : {&t, &a, &never}) watch(*each);
    b.on_tick = [&] {
        log += "b" + std::to_string(clock.now_ms()) + " ";
        if (clock.now_ms() == 40) a.stop();
    };
    for (Timer* each : {&t, &a, &b, &never}) each->start();
    clock.advance(70);
    b.stop();
    clock.advance(180);
    t.start();  // already running: keeps its period
    clock.advance(60);
    t.stop();
    t.start();  // a new period from now (310)
    clock.advance(100);
    t.set_interval(50);  // restart with the new interval from 410
    clock.advance(120);
    EXPECT_EQ(log, "b20 a30 b40 b60 t100 t200 t300 t410 t460 t510 ");
    // A very long period is fine.
    t.stop();
    Timer slow(clock, "slow", 100000);
    watch(slow);
    slow.start();
    EXPECT_TRUE(clock.run_until([&] { return log.ends_with("slow100530 "); }, 200000));
}

}  // namespace
}  // namespace vor3::form
