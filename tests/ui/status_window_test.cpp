// The status window: its block pace and time limit, the steps it counts
// and names, and a read-back cancelled while it waits for the line.
#include <set>
#include <sstream>

#include "link/traffic.h"
#include "model/globals.h"
#include "ui/config_window.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

struct Pace {
    const char* name;
    int baud;
    std::int16_t delay;
    std::int64_t block;
    double limit;
};
void PrintTo(const Pace& k, std::ostream* os) { *os << k.name; }

class StatusPace : public ::testing::TestWithParam<Pace> {};

// Above 2184 ms the product with 15 left 16 bits, above 3276 the product
// with 10: the periods must not overflow, and a time limit over 65535 ms
// must still run.
TEST_P(StatusPace, GivesTheBlockPeriodAndTheTimeLimitWithoutOverflow) {
    const auto& k = GetParam();
    EXPECT_EQ(model::block_timer_period(std::to_string(k.baud), k.delay), k.block);
    EXPECT_NEAR(model::status_time_limit(std::to_string(k.baud), k.delay), k.limit, 0.01);
}

INSTANTIATE_TEST_SUITE_P(ResponseTimes, StatusPace,
                         ::testing::Values(Pace{"Usual", 9600, 100, 1557, 15859.375},
                                           Pace{"Fast", 57600, 5, 85, 893.2291666},
                                           Pace{"Above2184", 9600, 2185, 32832, 328609.375},
                                           Pace{"Above3276", 9600, 3277, 49212, 492409.375},
                                           Pace{"Negative", 9600, -100, 1, -14140.625}),
                         kByName);

// A sensor holding a pace beyond what the window lets a user set (a
// display interval above 255, a minimum response time above 3000 ms) is
// paced as one holding the bound: a read, a write and the give-up on a
// sensor falling silent take exactly as long as there, and the status
// window and the traffic say why.
struct Beyond {
    const char* name;
    std::uint16_t display, response;  // registers 6 and 7
};
void PrintTo(const Beyond& k, std::ostream* os) { *os << k.name; }
class PaceBeyondRange : public ::testing::TestWithParam<Beyond> {};

TEST_P(PaceBeyondRange, IsPacedAsAtItsBoundAndSaysSo) {
    struct Run {
        std::int64_t read_ms = 0, write_ms = 0, give_up_ms = 0;
        std::set<std::string> window, traffic;  // the lines about a bound
    };
    const auto run = [](std::uint16_t display, std::uint16_t response) {
        InstalledProgram p(Installation().with_machine(machine_hive("", model::kEnglish)).on_simulated_sensor());
        p.sensor.set_holding(6, display);
        p.sensor.set_holding(7, response);
        p.sensor.faults().answer_ms = 20;  // whatever register 7 says
        Run r;
        auto& s = p.prog.frmState;
        s.lblTxt.changed = [&] {
            std::istringstream text(s.lblTxt.caption());
            std::string line;
            for (int n = 0; std::getline(text, line); ++n)
                if (n >= 2) r.window.insert(line);  // below the step and the time left
        };
        std::int64_t start = p.clock.now_ms();
        EXPECT_TRUE(p.read_device());
        r.read_ms = p.clock.now_ms() - start;
        p.f.txt_data_cfg(4).set_text("900");
        start = p.clock.now_ms();
        p.f.set_parameter.press();
        EXPECT_TRUE(settle(p, 120000));
        r.write_ms = p.clock.now_ms() - start;
        EXPECT_FALSE(p.f.warning_line().visible());
        EXPECT_TRUE(p.msg.shown.empty());
        EXPECT_EQ(p.sensor.holding(4), 900);
        // A sensor falling silent is given up on as soon as at the bound.
        p.sensor.faults().silent = true;
        start = p.clock.now_ms();
        p.f.cmd_read_device.press();
        EXPECT_TRUE(p.clock.run_until([&] { return p.f.warning_line().visible(); }, 120000));
        r.give_up_ms = p.clock.now_ms() - start;
        for (const auto& e : p.prog.traffic.entries())
            if (e.kind == link::TrafficEntry::Kind::PaceBounded)
                r.traffic.insert(link::traffic_line(e, "1033").substr(10));
        return r;
    };
    const Beyond& k = GetParam();
    const Run beyond = run(k.display, k.response);
    const Run at_bounds = run(std::min<std::uint16_t>(k.display, 255), std::min<std::uint16_t>(k.response, 3000));
    EXPECT_EQ(beyond.read_ms, at_bounds.read_ms);
    EXPECT_EQ(beyond.write_ms, at_bounds.write_ms);
    EXPECT_EQ(beyond.give_up_ms, at_bounds.give_up_ms);
    std::set<std::string> told;
    if (k.display > 255)
        told.insert("Display update interval " + std::to_string(k.display) +
                    " above 255: the blocks are paced as for 255");
    if (k.response > 3000)
        told.insert("Min-Response-Time " + std::to_string(k.response) +
                    " ms above 3000 ms: answers are awaited as for 3000 ms");
    EXPECT_EQ(beyond.window, told);
    std::set<std::string> traced;
    for (const auto& line : told) traced.insert(" ms  --  " + line);
    EXPECT_EQ(beyond.traffic, traced);
    EXPECT_TRUE(at_bounds.window.empty());
    EXPECT_TRUE(at_bounds.traffic.empty());
}

INSTANTIATE_TEST_SUITE_P(Registers, PaceBeyondRange,
                         ::testing::Values(Beyond{"DisplayInterval2000", 2000, 20},
                                           Beyond{"DisplayInterval32767", 32767, 20},
                                           Beyond{"MinResponseTime32767", 10, 32767}, Beyond{"Both", 2000, 5000}),
                         kByName);

// The time the window gives is honest at either pace: never much less than
// the transfer still takes, nor more than twice that.
class StatusWindowAtPace : public ::testing::TestWithParam<model::Pace> {};
TEST_P(StatusWindowAtPace, TheBarCountsTheBlocksAndTheTextNamesThem) {
    const std::vector<std::string> expected = {"Writing configuration registers 2 to 6 (1 of 9)",
                                               "Writing configuration registers 7 to 10 (2 of 9)",
                                               "Writing the configuration coils (3 of 9)",
                                               "Reading configuration registers 0 to 7 (4 of 9)",
                                               "Reading configuration registers 8 to 10 (5 of 9)",
                                               "Reading the measured values (6 of 9)",
                                               "Reading the configuration coils (7 of 9)",
                                               "Reading the external values (8 of 9)",
                                               "Reading the LED coils (9 of 9)"};
    InstalledProgram p(Installation().with_machine(machine_hive("", model::kEnglish)).on_simulated_sensor());
    p.sensor.set_holding(6, 40);  // 657 ms between blocks
    auto& s = p.prog.frmState;
    ASSERT_TRUE(p.read_device());
    p.g.link.pace = GetParam();
    p.f.txt_data_cfg(4).set_text("900");
    std::vector<std::string> steps;
    std::vector<std::pair<std::int64_t, std::string>> said;
    int closed = 0;
    s.lblTxt.changed = [&] {
        const std::string& text = s.lblTxt.caption();
        const auto cut = text.find('\n');  // none: the window's own text, before the first step
        if (cut == std::string::npos || (!steps.empty() && steps.back() == text.substr(0, cut))) return;
        EXPECT_EQ(s.ProgressFile.value(), static_cast<int>(steps.size()));
        EXPECT_EQ(s.ProgressFile.max(), static_cast<int>(expected.size()));
        steps.push_back(text.substr(0, cut));
        said.emplace_back(p.clock.now_ms(), text.substr(cut + 1));
    };
    bool was_loaded = s.loaded();
    s.changed = [&] {
        closed += was_loaded && !s.loaded() ? 1 : 0;
        was_loaded = s.loaded();
    };
    p.f.set_parameter.press();
    ASSERT_TRUE(settle(p));
    const std::int64_t end = p.clock.now_ms();

    EXPECT_EQ(closed, 1);  // one window from the first block to the last
    EXPECT_EQ(steps, expected);
    for (const auto& [at, time_left] : said) {
        const std::int64_t left_ms = end - at;
        const auto digits = time_left.find_first_of("0123456789");
        ASSERT_NE(digits, std::string::npos) << time_left;
        const std::int64_t said_ms = 1000 * std::stoll(time_left.substr(digits));
        EXPECT_GE(said_ms, left_ms - 1000) << time_left;
        EXPECT_LE(said_ms, 2 * left_ms + 1000) << time_left;
    }
}
INSTANTIATE_TEST_SUITE_P(Paces, StatusWindowAtPace, ::testing::Values(model::Pace::Schedule, model::Pace::Answer),
                         [](const auto& info) { return info.param == model::Pace::Answer ? "answer" : "schedule"; });

// A write the sensor stops answering is given up, and from that moment no
// write is on its way: closing the window asks nothing.
TEST(StatusWindow, AWriteGivenUpIsOverAtOnce) {
    InstalledProgram p(on_sensor());
    ASSERT_TRUE(p.read_device());
    p.f.txt_data_cfg(4).set_text("900");
    p.f.set_parameter.press();
    p.sensor.faults().silent = true;
    ASSERT_TRUE(p.clock.run_until([&] { return p.f.warning_line().visible(); }, 30000));
    EXPECT_FALSE(p.prog.frmState.loaded());
    EXPECT_FALSE(p.f.Timer1.enabled());
    EXPECT_TRUE(ui::frm_config_QueryUnload(p.c));
    EXPECT_EQ(p.confirm.asked, 0);
}

// A read-back cancelled while its next request waits for its turn on the
// line: nothing more goes out, what was read stays, the rest shows as not
// read (and is not written, as after another port) and the warning line
// says so.
TEST(StatusWindow, ACancelledReadBackSendsNothingMoreAndShowsWhatWasNotRead) {
    InstalledProgram p(on_sensor());
    auto& f = p.f;
    for (int i = 0; i <= 2; ++i) p.sensor.set_holding(0x100 + i, 100 + i);
    ASSERT_TRUE(p.read_device());
    f.txt_data_cfg(4).set_text("900");
    f.set_parameter.press();
    // The measured values of the read-back are answered late: after the
    // repeat, so the coils read next waits until the repeat's answer is due.
    ASSERT_TRUE(p.clock.run_until(
        [&] { return p.g.transfer.request_kind == model::kReadRegisterBlock && p.g.transfer.reg_address == 0x100; },
        20000));
    p.sensor.faults().answer_ms = 1200;
    ASSERT_TRUE(p.clock.run_until([&] { return p.g.line.held; }, 10000));
    ASSERT_EQ(p.g.transfer.request_kind, model::kReadConfigCoils);
    const std::size_t sent = frames(p);
    p.prog.frmState.Abbruch.press();
    p.clock.advance(60000);

    EXPECT_EQ(frames(p), sent);
    EXPECT_FALSE(p.prog.frmState.loaded());
    EXPECT_TRUE(f.enabled());
    EXPECT_TRUE(p.msg.shown.empty());
    EXPECT_TRUE(f.warning_line().visible());
    EXPECT_EQ(f.warning_line().caption(), "Lesen abgebrochen: Leere oder graue Werte wurden nicht gelesen.");
    // Read back: the registers and the measured values; not read: the
    // coils and the external values.
    EXPECT_EQ(configuration(p), "1 | 0 1 900 1200 10 20 0 0 0 | 22222222");
    EXPECT_EQ(marks(p), "......... | ........");
    EXPECT_EQ(other_parts(p), "4660 105 | 10,0 10,1 102 |    | 22222");
    EXPECT_FALSE(f.set_parameter.enabled());
}

// A second read cancelled by Escape while the configuration coils are
// asked for leaves them grey; the configuration part, no longer wholly
// read, is then not written, though an edit marks one of its registers
// (the grey coils would go out as 0 and switch every display option of the
// sensor off).
TEST(StatusWindow, APartCancelledByEscapeIsLeftUnreadAndNotWritten) {
    InstalledProgram p(on_sensor());
    ASSERT_TRUE(p.read_device());
    p.f.cmd_read_device.press();
    ASSERT_TRUE(p.clock.run_until(
        [&] { return p.g.transfer.request_kind == model::kReadConfigCoils && p.f.Timer5.enabled(); }, 20000));
    p.prog.frmState.key_down(form::kKeyReturn);  // no button of its own: nothing
    EXPECT_TRUE(p.prog.frmState.loaded());
    p.prog.frmState.key_down(form::kKeyEscape);
    EXPECT_FALSE(p.prog.frmState.loaded());
    p.f.txt_data_cfg(4).set_text("900");
    const std::size_t sent = frames(p);
    p.f.set_parameter.press();
    p.clock.advance(20000);
    EXPECT_EQ(frames(p), sent);
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{model::caption(model::Caption::msg_not_read, "1031")}));
    EXPECT_EQ(configuration(p), "1 | 0 1 900 1200 10 20 0 0 0 | 22222222");
}

}  // namespace
}  // namespace vor3::test
