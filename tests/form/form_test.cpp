#include <gtest/gtest.h>

#include <vector>

#include "form/controls.h"
#include "form/timer.h"
#include "form/virtual_clock.h"

namespace vor3::form {
namespace {

TEST(Controls, EventsFireOnlyOnARealChangeAndMayReEnter) {
    ComboBox list(6);
    list.add_item("close");
    list.add_item("open");
    std::vector<int> seen;
    list.on_click = [&](int index) {
        seen.push_back(list.list_index());
        EXPECT_EQ(index, 6);
        if (list.list_index() == 1) list.set_list_index(0);  // a handler selecting in its own list
    };
    list.set_list_index(1);
    list.set_list_index(0);  // already there: no event
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
    EXPECT_EQ(list.list_index(), 0);
    EXPECT_THROW(list.set_list_index(2), std::out_of_range);

    TextBox box(3);
    CheckBox check;
    int events = 0;
    box.on_change = [&](int) { ++events; };
    check.on_click = [&](int) { ++events; };
    for (const char* text : {"12", "12"}) box.set_text(text);
    for (int value : {1, 1, 0}) check.set_value(value);
    EXPECT_EQ(events, 3);
}

TEST(Controls, TypingRunsTheKeyFilterThenTheChange) {
    TextBox box;
    box.set_max_length(3);
    std::vector<std::string> changes;
    box.on_key_press = [](int, int& key) {
        if (key == 'x') key = 0;
    };
    box.on_change = [&](int) { changes.push_back(box.text()); };
    for (int k : {int('1'), int('x'), int('2'), int('3'), int('4'), 8}) box.type_key(k);
    EXPECT_EQ(box.text(), "12");
    EXPECT_EQ(changes, (std::vector<std::string>{"1", "12", "123", "12"}));

    // A full field still takes a key that replaces its selection.
    box.type_key('3');
    EXPECT_EQ(box.type_key('9', 1, 1), 2u);
    EXPECT_EQ(box.text(), "193");
    box.type_key('7', 0, 0);
    EXPECT_EQ(box.text(), "193");
    // Pasting skips the key filter but keeps to the length.
    box.paste("x55", 0, 3);
    EXPECT_EQ(box.text(), "x55");
    box.paste("66", 1, 0);
    EXPECT_EQ(box.text(), "x55");
}

TEST(Controls, ADisabledFrameDisablesItsContentsWithoutTouchingThem) {
    Container window, frame;
    Button button;
    frame.set_parent(&window);
    button.set_parent(&frame);
    int presses = 0;
    button.on_click = [&](int) { ++presses; };
    frame.set_enabled(false);
    button.press();
    EXPECT_TRUE(button.enabled());
    frame.set_enabled(true);
    window.set_enabled(false);
    EXPECT_FALSE(button.effectively_enabled());
    window.set_enabled(true);
    button.press();
    EXPECT_EQ(presses, 1);
}

struct Ticks {
    VirtualClock clock;
    std::vector<std::pair<std::string, std::int64_t>> log;
    void watch(Timer& t) {
        t.on_tick = [this, &t] { log.emplace_back(t.name(), clock.now_ms()); };
    }
};

TEST(Timers, StartStopAndIntervalRules) {
    Ticks k;
    Timer t(k.clock, "t", 100);
    k.watch(t);
    t.start();
    k.clock.advance(250);
    t.start();  // already running: keeps its period
    k.clock.advance(60);
    t.stop();
    t.start();  // a new period from now (310)
    k.clock.advance(100);
    t.set_interval(50);  // restart with the new interval from 410
    k.clock.advance(120);
    EXPECT_EQ(k.log, (std::vector<std::pair<std::string, std::int64_t>>{
                         {"t", 100}, {"t", 200}, {"t", 300}, {"t", 410}, {"t", 460}, {"t", 510}}));
}

TEST(Timers, DueTicksFireInTimeOrderAndHandlersMayStopOthers) {
    Ticks k;
    Timer a(k.clock, "a", 30), b(k.clock, "b", 20), never(k.clock, "zero", 0);
    k.watch(a);
    k.watch(never);
    b.on_tick = [&] {
        k.log.emplace_back("b", k.clock.now_ms());
        if (k.clock.now_ms() == 40) a.stop();
    };
    a.start();
    b.start();
    never.start();
    k.clock.advance(70);
    EXPECT_EQ(k.log, (std::vector<std::pair<std::string, std::int64_t>>{{"b", 20}, {"a", 30}, {"b", 40}, {"b", 60}}));
    // a very long period is fine
    Timer slow(k.clock, "slow", 100000);
    k.watch(slow);
    b.stop();
    slow.start();
    EXPECT_TRUE(k.clock.run_until([&] { return k.log.back().first == "slow"; }, 200000));
    EXPECT_EQ(k.log.back().second, 100070);
}

}  // namespace
}  // namespace vor3::form
