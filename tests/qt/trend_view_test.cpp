// The trend window's binding: opened from the view menu, its curves follow
// the model's points as readings come and go, its log box reaches the
// model, and a picture of it lands in the build folder; and how the curves
// are drawn.
#include <cmath>

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>

#include "qt/platform_services.h"
#include "qt/trend_curves.h"
#include "qt/trend_view.h"
#include "support/fake_platform.h"
#include "view_fixture.h"

namespace vor3::qt::test {
namespace {

class TrendViewTest : public ViewTest {
protected:
    void SetUp() override {
        program.g.platform.user_hive = dir.file("user.reg");
        program.use_file_dialog(files);
        program.use_wall_clock(wall_clock);
        ViewTest::SetUp();
    }
    // An hour of readings up to now, one a second: a room filling up.
    void record_an_hour() {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int s = 3600; s > 0; --s) {
            const double t = (3600 - s) / 3600.0;
            program.trend_window.record({now - s * 1000,
                                         "",
                                         {21.0 + 1.5 * t + 0.2 * std::sin(s / 300.0), 42.0 + 8 * t,
                                          std::round(450 + 700 * t * t + 30 * std::sin(s / 120.0))}});
        }
    }

    vor3::test::TempDir dir;
    vor3::test::FakeFileDialog files;
    QtWallClock wall_clock;
};

// The readings themselves and the log's lines are the trend window's
// behaviour, run under the virtual clock elsewhere; here the curves and
// the log box are bound to the model.
TEST_F(TrendViewTest, TheCurvesFollowTheModelsPointsAndTheLogBoxReachesIt) {
    widget<QAction>("AnsichtMenue_4").trigger();
    TrendView& trend = view->trend_view();
    ASSERT_TRUE(trend.isVisible());
    auto& log_box = *trend.findChild<QCheckBox*>("chk_log");
    EXPECT_GE(log_box.width(), log_box.minimumSizeHint().width());
    const auto& curves = trend.series();
    EXPECT_EQ(curves[2]->attachedAxes().last()->alignment(), Qt::AlignRight);  // CO2 on its own axis

    record_an_hour();
    const auto& model = program.frmTrend.cht_trend;
    // The curves catch up with the model a few times a second.
    auto caught_up = [&] {
        return wait_until(
            [&] {
                const form::TrendPoint& last = model.points().back();
                for (std::size_t k = 0; k < 3; ++k)
                    if (curves[k]->count() == 0 || curves[k]->at(curves[k]->count() - 1) !=
                                                       QPointF(static_cast<qreal>(last.epoch_ms), last.values[k]))
                        return false;
                return true;
            },
            3000);
    };
    ASSERT_TRUE(caught_up());
    // An hour of readings is drawn at the plot's resolution, from the first,
    // on axes that hold every value.
    const int width = static_cast<int>(trend.chart_view().chart()->plotArea().width());
    for (const QLineSeries* curve : curves) {
        EXPECT_LE(curve->count(), 4 * width);
        EXPECT_EQ(curve->at(0).x(), static_cast<qreal>(model.points().front().epoch_ms));
    }
    const auto* climate = qobject_cast<QValueAxis*>(curves[0]->attachedAxes().last());
    EXPECT_LE(climate->min(), 21.0);
    EXPECT_GE(climate->max(), 50.0);
    picture(trend, "trend");

    files.answer = dir.file("trend.csv");
    log_box.click();
    EXPECT_EQ(trend.findChild<QLabel*>("lbl_log_file")->toolTip().toStdString(), *files.answer);
    EXPECT_TRUE(program.trend_window.log().is_open());

    // Points the model drops leave the curves, and the axis closes in on
    // what is left; closing only hides the window.
    const form::TrendPoint last = model.points().back();
    program.frmTrend.cht_trend.add(
        {clock.now_ms() + 2 * form::TrendChart::kKeepMs, last.epoch_ms + 1000, {22, 23, 500}});
    ASSERT_TRUE(caught_up());
    for (const QLineSeries* curve : curves) EXPECT_EQ(curve->count(), 1);
    EXPECT_GE(climate->min(), 20.0);
    EXPECT_LE(climate->max(), 25.0);
    trend.close();
    EXPECT_FALSE(program.frmTrend.loaded());
}

struct Outlined {
    const char* name;
    int points;
    std::int64_t step_ms;  // between readings; negative: the wall clock went back
    int columns;
    int most;  // points per curve at most
};

class TrendOutline : public ::testing::TestWithParam<Outlined> {};

// However the points are thinned, the curves keep their first and last
// reading and their extremes, so no peak of CO2 is lost from sight.
TEST_P(TrendOutline, KeepsTheEndsAndTheExtremesOfEveryCurve) {
    std::deque<form::TrendPoint> points;
    for (int i = 0; i < GetParam().points; ++i)
        points.push_back(
            {i,
             1733580185000 + i * GetParam().step_ms,
             {20 + std::sin(i / 50.0), 40 + (i % 97) / 10.0, i == GetParam().points / 3 ? 5000.0 : 600.0}});
    const auto curves = outline(points, GetParam().columns);
    for (std::size_t k = 0; k < curves.size(); ++k) {
        const QList<QPointF>& curve = curves[k];
        ASSERT_LE(curve.size(), GetParam().most) << "curve " << k;
        EXPECT_EQ(curve.first().y(), points.front().values[k]);
        EXPECT_EQ(curve.last().y(), points.back().values[k]);
        const auto [low, high] = std::minmax_element(
            points.begin(), points.end(), [k](const auto& a, const auto& b) { return a.values[k] < b.values[k]; });
        EXPECT_TRUE(curve.contains(QPointF(static_cast<qreal>(low->epoch_ms), low->values[k])));
        EXPECT_TRUE(curve.contains(QPointF(static_cast<qreal>(high->epoch_ms), high->values[k])));
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, TrendOutline,
                         ::testing::Values(Outlined{"FewPointsAsTheyCame", 30, 1000, 100, 30},
                                           Outlined{"AnHourOfTheFastestReadOut", 72000, 50, 600, 4 * 600},
                                           Outlined{"WallClockGoingBack", 5000, -700, 200, 4 * 200}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Readings {
    const char* name;
    std::vector<std::int64_t> steps_ms;  // between readings, in turn
    std::vector<int> stretch_sizes;
};

class TrendStretches : public ::testing::TestWithParam<Readings> {};

// No line across a time without readings: a pause well beyond the pace of
// the readings, or the wall clock set back, begins a new stretch; the
// usual unevenness of a pace does not.
TEST_P(TrendStretches, ACurveIsCutWhereTheReadingsPaused) {
    std::deque<form::TrendPoint> points{{0, 1733580185000, {20, 40, 600}}};
    for (const std::int64_t step : GetParam().steps_ms) {
        form::TrendPoint next = points.back();
        next.epoch_ms += step;
        points.push_back(next);
    }
    for (const Stretches& curve : stretches(points, 200)) {
        std::vector<int> sizes;
        for (const auto& part : curve) sizes.push_back(static_cast<int>(part.size()));
        EXPECT_EQ(sizes, GetParam().stretch_sizes);
    }
}

INSTANTIATE_TEST_SUITE_P(Pauses, TrendStretches,
                         ::testing::Values(Readings{"ASteadyPace", {1000, 1000, 1200, 900, 1000}, {6}},
                                           Readings{"ARestartedReadOut", {1000, 1000, 60000, 1000, 1000}, {3, 3}},
                                           Readings{"ASlowSensorsUnevenPace", {10000, 10000, 25000, 10000}, {5}},
                                           Readings{"AFastPaceAndAShortBreak", {50, 50, 50, 50, 2500, 50}, {5, 2}},
                                           Readings{"TheWallClockSetBack", {1000, 1000, -5000, 1000}, {3, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Span {
    const char* name;
    std::int64_t from_s, to_s;  // local time of day
    std::int64_t first_s, last_s;
    int count;
};

class TrendTimeAxis : public ::testing::TestWithParam<Span> {};

// The time axis's ticks fall on round times of the local clock, however odd
// the first and last reading.
TEST_P(TrendTimeAxis, TicksOnRoundTimes) {
    constexpr std::int64_t kMidnight = 1733529600000;  // 2024-12-07 00:00 UTC
    constexpr std::int64_t kOffset = 3600 * 1000;      // the clock one hour ahead of UTC
    const Span& k = GetParam();
    const TimeTicks t = time_ticks(kMidnight - kOffset + k.from_s * 1000, kMidnight - kOffset + k.to_s * 1000, kOffset);
    EXPECT_EQ(t.first_ms, kMidnight - kOffset + k.first_s * 1000);
    EXPECT_EQ(t.last_ms, kMidnight - kOffset + k.last_s * 1000);
    EXPECT_EQ(t.count, k.count);
}

constexpr std::int64_t at(int h, int m, int s) { return (h * 60 + m) * 60 + s; }
INSTANTIATE_TEST_SUITE_P(
    Spans, TrendTimeAxis,
    ::testing::Values(Span{"AMinute", at(14, 3, 7), at(14, 4, 7), at(14, 3, 0), at(14, 4, 10), 8},
                      Span{"FiveMinutes", at(14, 3, 7), at(14, 8, 7), at(14, 3, 0), at(14, 9, 0), 7},
                      Span{"AnHour", at(13, 59, 59), at(14, 59, 58), at(13, 50, 0), at(15, 0, 0), 8},
                      Span{"AMomentOnATick", at(9, 0, 0), at(9, 0, 0), at(9, 0, 0), at(9, 0, 1), 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vor3::qt::test
