// Where the tool windows open: beside the configuration window where the
// screen has room, else wherever it has room, else in a cascade; always on
// the screen, none on another where there is room.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/placement.h"

namespace vor3::form {
namespace {

struct Screen {
    const char* name;
    Rect area;
    Rect owner;
    std::vector<Size> windows;  // opened one after another
    // Where each opens; {-1, -1}: somewhere free of the others, checked below.
    std::vector<Point> expected;
    int with_room;  // how many of them find room (the rest cascade)
};
void PrintTo(const Screen& s, std::ostream* os) { *os << s.name; }

class ToolWindowPlace : public ::testing::TestWithParam<Screen> {};

TEST_P(ToolWindowPlace, OpensWhereTheScreenHasRoomElseCascadesOnIt) {
    const Screen& s = GetParam();
    std::vector<Rect> open;
    for (std::size_t i = 0; i < s.windows.size(); ++i) {
        const Size size = s.windows[i];
        const Point at = tool_window_place(s.area, s.owner, open, size);
        const Rect r{at.x, at.y, size.width, size.height};
        if (i < s.expected.size() && s.expected[i].x >= 0) {
            EXPECT_EQ(at, s.expected[i]) << "window " << i;
        }
        // On the screen: whole where it fits, else its top-left corner.
        const bool fits = size.width <= s.area.width && size.height <= s.area.height;
        EXPECT_TRUE(fits ? s.area.contains(r) : s.area.contains({at.x, at.y, 1, 1})) << "window " << i;
        if (static_cast<int>(i) < s.with_room) {
            EXPECT_FALSE(r.overlaps(s.owner)) << "window " << i;
            for (const Rect& o : open) EXPECT_FALSE(r.overlaps(o)) << "window " << i;
        }
        // A cascade leaves every title bar in sight.
        for (const Rect& o : open) EXPECT_FALSE(o.x == at.x && o.y == at.y) << "window " << i;
        open.push_back(r);
    }
}

// A configuration window of 760 x 560 centred, tool windows of the sizes
// the views open them at.
constexpr Rect kSmall{0, 0, 1024, 600}, kFullHd{0, 0, 1920, 1080};
constexpr Rect kOwnerSmall{132, 20, 760, 560}, kOwnerFullHd{580, 260, 760, 560};
constexpr Size kTool{500, 400};

INSTANTIATE_TEST_SUITE_P(
    Screens, ToolWindowPlace,
    ::testing::Values(
        Screen{"FullHdTwoWindowsRightThenLeft", kFullHd, kOwnerFullHd, {kTool, kTool}, {{1348, 260}, {72, 260}}, 2},
        Screen{"FullHdFiveWindowsBesideThenNearestThenCascade",
               kFullHd,
               kOwnerFullHd,
               {kTool, kTool, kTool, kTool, kTool},
               {{1348, 260}, {72, 260}, {1348, 668}, {72, 668}},
               4},
        // A panel on the left: the area starts past it.
        Screen{"FullHdPanelThenBelowThenLeft",
               {70, 0, 1850, 1080},
               {580, 100, 760, 560},
               {kTool, {600, 380}, {300, 200}},
               {{1348, 100}, {580, 668}, {272, 100}},
               3},
        Screen{"SmallTwoWindowsCascadeFromTheRightEdge",
               kSmall,
               kOwnerSmall,
               {{420, 480}, {520, 400}},
               {{604, 20}, {474, 50}},
               0},
        Screen{"SmallFiveWindowsAllOnScreen",
               kSmall,
               kOwnerSmall,
               {{420, 480}, {520, 400}, {600, 420}, {700, 450}, {700, 520}},
               {},
               0},
        Screen{"SmallRoomLeftOfASmallOwner", kSmall, {500, 40, 500, 500}, {{420, 480}, {420, 480}}, {{72, 40}}, 1},
        Screen{"TooLargeForTheScreenKeepsItsCornerOnIt", kSmall, kOwnerSmall, {{1100, 700}}, {{0, 0}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CentredOn, CentresWhereTheAreaHoldsTheWindowElseKeepsItsCornerOnIt) {
    EXPECT_EQ(centred_on({0, 0, 1920, 1080}, {760, 560}), (Point{580, 260}));
    EXPECT_EQ(centred_on({70, 30, 1024, 600}, {1100, 560}), (Point{70, 50}));
}

}  // namespace
}  // namespace vor3::form
