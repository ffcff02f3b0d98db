#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace vor3::test {
namespace {

// What the filter drops is shown by the read over an adapter that hears
// itself; here, that the box is kept for the next start.
TEST(EchoFilter, TheChoiceIsKeptForTheNextStart) {
    InstalledProgram first;
    EXPECT_EQ(first.f.chk_echo.value(), 0);
    first.f.chk_echo.set_value(1);
    EXPECT_TRUE(first.g.link.suppress_echo);

    InstalledProgram second(Installation().with_user(first.dir.read("none-user.reg")));
    EXPECT_EQ(second.f.chk_echo.value(), 1);
    EXPECT_TRUE(second.g.link.suppress_echo);
}

}  // namespace
}  // namespace vor3::test
