// Edited values are replaced (a read, another sensor, a parameter file)
// only once the user agreed; kept, nothing else happens.
#include "ui_fixture.h"

namespace vor3::test {
namespace {

struct Replacing {
    const char* name;
    // The action, as the user takes it the n-th time.
    std::function<void(InstalledProgram&, int n)> act;
    // What a "keep" leaves besides the edits: the list or text chosen
    // before the action.
    std::function<std::string(InstalledProgram&)> choice;
    const char* kept;
};
void PrintTo(const Replacing& r, std::ostream* os) { *os << r.name; }

class KeepEdits : public ::testing::TestWithParam<Replacing> {};

TEST_P(KeepEdits, AreReplacedOnlyAfterTheQuestionAndKeptWithNothingSent) {
    InstalledProgram p(on_sensor());
    p.prog.ask_before_dropping_edits();
    auto& f = p.f;
    ASSERT_TRUE(p.read_device());
    p.files.answer = p.dir.file("read.txt");
    f.ParMenueMain(2).press();
    const std::string sensor_value = f.txt_data_cfg(4).text();

    // Without an edit nothing asks.
    GetParam().act(p, 0);
    ASSERT_TRUE(settle(p));
    EXPECT_EQ(p.confirm.asked, 0);
    if (f.txt_data_cfg(4).text() != sensor_value) {
        ASSERT_TRUE(p.read_device());
    }
    ASSERT_EQ(p.confirm.asked, 0);

    f.txt_data_cfg(4).set_text("900");
    f.chk_cfg(0).set_value(1 - f.chk_cfg(0).value());
    const std::string edited = configuration(p), marked = marks(p);
    ASSERT_EQ(marked, "..x...... | x.......");
    const std::size_t sent = frames(p);

    GetParam().act(p, 1);
    p.clock.advance(5000);
    EXPECT_EQ(p.confirm.asked, 1);
    EXPECT_NE(p.confirm.text.find("\nSchaltschwelle gelbe LED: " + sensor_value + " → 900"), std::string::npos)
        << p.confirm.text;
    EXPECT_NE(p.confirm.text.find("\nRaumtemperatur anzeigen: "), std::string::npos);
    EXPECT_EQ(configuration(p), edited);
    EXPECT_EQ(marks(p), marked);
    EXPECT_EQ(frames(p), sent);
    EXPECT_EQ(GetParam().choice(p), GetParam().kept);
    EXPECT_TRUE(p.msg.shown.empty());

    p.confirm.answer = true;
    GetParam().act(p, 1);
    ASSERT_TRUE(settle(p));
    EXPECT_EQ(p.confirm.asked, 2);  // once for the whole action
    EXPECT_EQ(marks(p).find('x'), std::string::npos) << marks(p);
    EXPECT_NE(f.txt_data_cfg(4).text(), "900");
}

void reopen_at(InstalledProgram& p, int baud) {
    p.f.Combo_Port(6).set_list_index(0);
    p.f.Combo_Port(1).set_list_index(baud);
    open_port(p);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, KeepEdits,
    ::testing::Values(Replacing{"ReadDevice", [](InstalledProgram& p, int) { p.f.cmd_read_device.press(); },
                                [](InstalledProgram& p) { return p.f.txt_data_cfg(4).text(); }, "900"},
                      Replacing{"AnotherAddress",
                                [](InstalledProgram& p, int n) {
                                    p.sensor.set_address(2 + n);
                                    p.f.txt_Modbus_adress.set_text(std::to_string(2 + n));
                                },
                                [](InstalledProgram& p) { return p.f.txt_Modbus_adress.text(); }, "2"},
                      // Closing keeps every value; opening at another setting reaches
                      // another sensor.
                      Replacing{"OpenAtAnotherBaudRate", [](InstalledProgram& p, int n) { reopen_at(p, n); },
                                [](InstalledProgram& p) {
                                    return p.f.Combo_Port(6).text() +
                                           (p.sim_port.is_open() ? ", port open" : ", port shut");
                                },
                                "close, port shut"},
                      Replacing{"LoadParameterFile", [](InstalledProgram& p, int) { p.f.ParMenueMain(1).press(); },
                                [](InstalledProgram& p) { return p.f.txt_data_cfg(4).text(); }, "900"}),
    kByName);

}  // namespace
}  // namespace vor3::test
