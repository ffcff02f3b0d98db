// The traffic window: it counts, pauses, clears and saves the frames (the
// lines themselves are the traffic record's).
#include "link/traffic.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

TEST(TrafficWindow, CountsPausesClearsAndSavesTheFrames) {
    InstalledProgram p(Installation().on_simulated_sensor());
    auto& w = p.prog.frmTraffic;
    p.f.AnsichtMenue(3).press();
    ASSERT_TRUE(w.visible());
    ASSERT_TRUE(p.read_device());
    p.prog.traffic_window.show_count();
    EXPECT_EQ(w.lbl_count.caption(), "14 Frames");

    // Each line at the clock time of its frame, to the millisecond, as the
    // wall clock (14:03:05 at the start) had it.
    EXPECT_EQ(p.prog.traffic_window.line(p.prog.traffic.entries().back()).substr(0, 18), "14:03:05.900  RX  ");
    // Saved whole, one line per frame.
    p.files.answer = p.dir.file("traffic.txt");
    w.cmd_save.press();
    std::string expected;
    for (const auto& e : p.prog.traffic.entries()) expected += p.prog.traffic_window.line(e) + "\n";
    EXPECT_EQ(p.dir.read("traffic.txt"), expected);

    // Paused: nothing is recorded; going on records again.
    w.cmd_pause.press();
    EXPECT_EQ(w.cmd_pause.caption(), "&Weiter");
    p.f.cmd_read_device.press();
    p.clock.advance(3000);
    EXPECT_EQ(p.prog.traffic.entries().size(), 14u);
    w.cmd_pause.press();
    w.cmd_clear.press();
    EXPECT_EQ(w.lbl_count.caption(), "0 Frames");
    ASSERT_TRUE(p.read_device());
    EXPECT_EQ(p.prog.traffic.entries().size(), 14u);

    // A file that cannot be written is named, nothing half written.
    p.files.answer = p.dir.file("no/such/folder/t.txt");
    w.cmd_save.press();
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_NE(p.msg.shown[0].find(*p.files.answer), std::string::npos);
}

}  // namespace
}  // namespace vor3::test
