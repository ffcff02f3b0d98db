#include <gtest/gtest.h>

#include <tuple>

#include "support/fake_platform.h"

namespace vor3::test {
namespace {

// What the filter drops is shown by the read over an adapter that hears
// itself, the answer pace by the transfers it paces; here, that both boxes
// are kept for the next start, and that the bus window's pace box is the
// main window's.
TEST(LineChoices, AreKeptForTheNextStart) {
    InstalledProgram first;
    EXPECT_EQ(std::make_tuple(first.f.chk_echo.value(), first.f.chk_pace.value()), std::make_tuple(0, 0));
    first.f.chk_echo.set_value(1);
    first.prog.frmBus.chk_pace.set_value(1);
    EXPECT_TRUE(first.g.link.suppress_echo);
    EXPECT_EQ(first.g.link.pace, model::Pace::Answer);

    InstalledProgram second(Installation().with_user(first.dir.read("none-user.reg")));
    EXPECT_EQ(std::make_tuple(second.f.chk_echo.value(), second.prog.frmBus.chk_pace.value()), std::make_tuple(1, 1));
    EXPECT_TRUE(second.g.link.suppress_echo);
    EXPECT_EQ(second.g.link.pace, model::Pace::Answer);
    second.f.chk_pace.set_value(0);
    EXPECT_EQ(std::make_tuple(second.prog.frmBus.chk_pace.value(), second.g.link.pace),
              std::make_tuple(0, model::Pace::Schedule));
}

}  // namespace
}  // namespace vor3::test
