// The trend window's binding: opened from the view menu, its curves follow
// the model's points as readings come, its log box reaches the
// model, and a picture of it lands in the build folder.
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

    // An hour of readings up to now, one a second: a room filling up, with
    // one short peak of CO2, after a pause of two minutes near the start.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    constexpr int kPauseEnd = 3300;  // seconds before now
    for (int s = 3600; s > 0; --s) {
        if (s > kPauseEnd && s < kPauseEnd + 120) continue;
        const double t = (3600 - s) / 3600.0;
        program.trend_window.record({now - s * 1000,
                                     "",
                                     {21.0 + 1.5 * t + 0.2 * std::sin(s / 300.0), 42.0 + 8 * t,
                                      s == 1234 ? 5000.0 : std::round(450 + 700 * t * t)}});
    }
    const auto& model = program.frmTrend.cht_trend;
    // The curves catch up with the model a few times a second.
    const form::TrendPoint& last = model.points().back();
    const QPointF newest(static_cast<qreal>(last.epoch_ms), last.values[2]);
    ASSERT_TRUE(wait_until([&] { return curves[2]->count() > 0 && curves[2]->points().last() == newest; }, 3000));
    for (std::size_t k = 0; k < 2; ++k) EXPECT_EQ(curves[k]->points().last().y(), last.values[k]);
    // An hour of readings is drawn at the plot's resolution, with the peak,
    // on axes that hold every value; no line crosses the pause: each curve
    // is drawn again from the first reading after it.
    const int width = static_cast<int>(trend.chart_view().chart()->plotArea().width());
    for (const QLineSeries* curve : curves) {
        EXPECT_LE(curve->count(), 4 * width);
        EXPECT_EQ(curve->at(0).x(), static_cast<qreal>(now - kPauseEnd * 1000));
    }
    EXPECT_TRUE(curves[2]->points().contains(QPointF(static_cast<qreal>(now - 1234 * 1000), 5000.0)));
    const auto* climate = qobject_cast<QValueAxis*>(curves[0]->attachedAxes().last());
    EXPECT_LE(climate->min(), 21.0);
    EXPECT_GE(climate->max(), 50.0);
    picture(trend, "trend");

    files.answer = dir.file("trend.csv");
    log_box.click();
    EXPECT_EQ(trend.findChild<QLabel*>("lbl_log_file")->toolTip().toStdString(), *files.answer);
    EXPECT_TRUE(program.trend_window.log().is_open());
    trend.close();
    EXPECT_FALSE(program.frmTrend.loaded());
}

}  // namespace
}  // namespace vor3::qt::test
