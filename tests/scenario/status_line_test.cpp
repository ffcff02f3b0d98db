#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/harness.h"
#include "ui/language.h"

namespace vor3::test {
namespace {

std::string line(const SimHarness& h, int n) {
    std::string text = h.f.status_line.caption();
    for (int i = 0; i < n && text.find('\n') != std::string::npos; ++i) text.erase(0, text.find('\n') + 1);
    return text.substr(0, text.find('\n'));
}

// The status line counts the line from the port's opening on: requests,
// answers, repeats, give-ups, checksum errors and noise, each where it
// happens, and says by the wall clock when the sensor last answered and
// since when it has not. Opening the port again starts from nothing; a
// stale warning goes with the settings it was about.
TEST(StatusLine, CountsTheLineSinceThePortWasOpenedAndTellsWhetherTheSensorAnswers) {
    SimHarness h;
    FakeWallClock wall;
    wall.clock = &h.clock;
    h.prog.use_wall_clock(wall);
    EXPECT_EQ(line(h, 0), "COM1 · 9600 8E1 RTU · Adresse 1");
    EXPECT_EQ(line(h, 1),
              "Anfragen 0 · Antworten 0 · Wiederholungen 0 · aufgegeben 0 · Prüfsummenfehler 0 · Störungen 0");

    // Noise ahead of every answer of a whole read.
    h.sensor.faults().noise_before = "\x55\xAA";
    ASSERT_TRUE(h.read_device());
    const std::string answered = h.c.wall_clock->now().iso.substr(11, 8);
    EXPECT_EQ(line(h, 0), "COM1 · 9600 8E1 RTU · Adresse 1 · Sensor antwortet · letzte Antwort " + answered);
    EXPECT_EQ(line(h, 1),
              "Anfragen 7 · Antworten 7 · Wiederholungen 0 · aufgegeben 0 · Prüfsummenfehler 0 · Störungen 7");

    // Answers with a wrong checksum are none: one repeat, then the give-up.
    h.sensor.faults().noise_before.clear();
    h.sensor.faults().bad_checksum = true;
    h.clock.advance(2000);
    const std::string asked = h.c.wall_clock->now().iso.substr(11, 8);
    h.f.cmd_read_device.press();
    ASSERT_TRUE(h.settle());
    EXPECT_TRUE(h.f.warning_line().visible());
    EXPECT_EQ(line(h, 0),
              "COM1 · 9600 8E1 RTU · Adresse 1 · keine Antwort seit " + asked + " · letzte Antwort " + answered);
    EXPECT_EQ(line(h, 1),
              "Anfragen 9 · Antworten 7 · Wiederholungen 1 · aufgegeben 1 · Prüfsummenfehler 2 · Störungen 7");

    h.c.g.lang.language = model::kEnglish;
    ui::caption_configuration_window(h.c, model::kEnglish);
    EXPECT_EQ(line(h, 0), "COM1 · 9600 8E1 RTU · address 1 · no answer since " + asked + " · last answer " + answered);
    EXPECT_EQ(line(h, 1), "requests 9 · answers 7 · repeats 1 · give-ups 1 · checksum errors 2 · noise 7");

    // Another parity: the warning was about the line before.
    h.f.Combo_Port(6).set_list_index(0);
    EXPECT_TRUE(h.f.warning_line().visible());
    h.f.Combo_Port(2).set_list_index(0);
    EXPECT_FALSE(h.f.warning_line().visible());
    EXPECT_EQ(line(h, 0), "COM1 · 9600 8N1 RTU · address 1 · port closed");
    h.f.Combo_Port(6).set_list_index(1);
    EXPECT_EQ(line(h, 0), "COM1 · 9600 8N1 RTU · address 1");
    EXPECT_EQ(line(h, 1), "requests 0 · answers 0 · repeats 0 · give-ups 0 · checksum errors 0 · noise 0");
}

}  // namespace
}  // namespace vor3::test
