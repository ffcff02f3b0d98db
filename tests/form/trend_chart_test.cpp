// The trend chart keeps the last hour by the program's clock and never
// more than its capacity.
#include <gtest/gtest.h>

#include "form/frm_trend.h"

namespace vor3::form {
namespace {

TrendPoint at(std::int64_t ms) { return {ms, 1733580185000 + ms, {20.0, 50.0, 600.0}}; }

TEST(TrendChart, KeepsTheLastHourByTheProgramsClockAndNoMoreThanItsCapacity) {
    TrendChart chart;
    for (std::int64_t ms = 0; ms <= TrendChart::kKeepMs; ms += 1000) chart.add(at(ms));
    EXPECT_EQ(chart.points().size(), 3601u);  // a point exactly an hour old is kept
    // The wall clock may jump; the hour is the program's.
    TrendPoint jumped = at(TrendChart::kKeepMs + 1);
    jumped.epoch_ms -= 24 * 3600 * 1000;
    chart.add(jumped);
    EXPECT_EQ(chart.points().size(), 3601u);
    EXPECT_EQ(chart.points().front().at_ms, 1000);

    TrendChart full;
    for (std::size_t i = 0; i < TrendChart::kCapacity + 5; ++i) full.add(at(static_cast<std::int64_t>(i)));
    EXPECT_EQ(full.points().size(), TrendChart::kCapacity);
    EXPECT_EQ(full.points().front().at_ms, 5);
}

}  // namespace
}  // namespace vor3::form
