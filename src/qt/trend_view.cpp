#include "qt/trend_view.h"

#include <algorithm>

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include "app/program.h"
#include "qt/binder.h"
#include "qt/widget_factory.h"

namespace vor3::qt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A minute at least, so that the first readings do not fill the width.
constexpr std::int64_t kShortestSpanMs = 60 * 1000;

// How often the curves catch up with the readings.
constexpr int kCatchUpMs = 250;

// Fits a value axis to the values from lo to hi. It keeps its range while
// the values stay inside and fill at least half of it, so that it does not
// lay the chart out again for every reading.
void fit(QValueAxis& axis, double lo, double hi) {
    // A flat curve still gets an axis with some height.
    const double pad = hi - lo < 1 ? 0.5 : 0;
    lo -= pad;
    hi += pad;
    if (lo >= axis.min() && hi <= axis.max() && 2 * (hi - lo) >= axis.max() - axis.min()) return;
    axis.setRange(lo, hi);
    axis.applyNiceNumbers();
}

}  // namespace

TrendView::TrendView(app::Program& program, Binder& binder, QWidget* owner)
    : ToolWindow(owner, true,
                 [&program] { program.trend_window.unload(); }),
      program_(program) {
    form::FrmTrend& t = program.frmTrend;
    setObjectName("frmTrend");
    WidgetFactory make(binder);

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    time_axis_ = new QDateTimeAxis;
    time_axis_->setFormat(QStringLiteral("HH:mm:ss"));
    time_axis_->setTickCount(7);
    chart_->addAxis(time_axis_, Qt::AlignBottom);
    for (std::size_t side = 0; side < value_axes_.size(); ++side) {
        value_axes_[side] = new QValueAxis;
        value_axes_[side]->setLabelFormat(side == 0 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
        chart_->addAxis(value_axes_[side], side == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
    for (std::size_t k = 0; k < series_.size(); ++k) {
        auto* curve = new QLineSeries;
        curve->setObjectName(QStringLiteral("series_%1").arg(k));
        chart_->addSeries(curve);
        // The theme gives each curve its colour as it is added.
        QPen pen = curve->pen();
        pen.setWidthF(2);
        curve->setPen(pen);
        curve->attachAxis(time_axis_);
        curve->attachAxis(value_axes_[k < 2 ? 0 : 1]);
        series_[k] = curve;
    }
    chart_view_ = new QChartView(chart_);
    chart_view_->setObjectName("cht_trend");
    chart_view_->setRenderHint(QPainter::Antialiasing);
    chart_view_->setMinimumSize(640, 360);

    auto* rows = new QVBoxLayout(this);
    rows->addWidget(chart_view_, 1);
    auto* log_row = new QHBoxLayout;
    log_row->addWidget(make.check(t.chk_log, "chk_log"));
    log_file_ = new QLabel;
    log_file_->setObjectName("lbl_log_file");
    // A long path must not widen the window; it is shortened in the middle.
    log_file_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    log_row->addWidget(log_file_, 1);
    rows->addLayout(log_row);
    resize(760, 480);

    catch_up_.setSingleShot(true);
    catch_up_.setInterval(kCatchUpMs);
    connect(&catch_up_, &QTimer::timeout, this, [this] { follow_chart(); });
    binder.custom(t.lbl_log_file, [this] { show_log_file(); });
    binder.custom(t.cht_trend, [this] {
        follow_captions();
        if (isVisible() && !catch_up_.isActive()) catch_up_.start();
    });
    binder.custom(t, [this] { follow_model(); });
}

void TrendView::follow_model() {
    const form::FrmTrend& t = program_.frmTrend;
    setWindowTitle(q(t.caption()));
    const bool shown = t.visible() && t.loaded();
    if (shown == isVisible()) return;
    if (!shown) {
        hide();
        return;
    }
    follow_chart();
    show();
    raise();
    activateWindow();
}

void TrendView::follow_captions() {
    const form::TrendChart& model = program_.frmTrend.cht_trend;
    for (std::size_t k = 0; k < series_.size(); ++k)
        if (series_[k]->name() != q(model.series_captions()[k])) series_[k]->setName(q(model.series_captions()[k]));
    const std::array<QAbstractAxis*, 3> axes{time_axis_, value_axes_[0], value_axes_[1]};
    for (std::size_t a = 0; a < axes.size(); ++a)
        if (axes[a]->titleText() != q(model.axis_captions()[a])) axes[a]->setTitleText(q(model.axis_captions()[a]));
}

void TrendView::follow_chart() {
    const auto& points = program_.frmTrend.cht_trend.points();
    const int columns = std::max(100, static_cast<int>(chart_->plotArea().width()));
    const auto curves = outline(points, columns);
    // One replacement lays each curve out once, where adding point by
    // point would lay it out for every point.
    for (std::size_t k = 0; k < series_.size(); ++k) series_[k]->replace(curves[k]);
    if (points.empty()) return;

    std::array<double, 2> lo{}, hi{};
    std::int64_t oldest = points.front().epoch_ms, newest = oldest;
    for (std::size_t side = 0; side < 2; ++side) lo[side] = hi[side] = points.front().values[side == 0 ? 0 : 2];
    for (const form::TrendPoint& p : points) {
        oldest = std::min(oldest, p.epoch_ms);
        newest = std::max(newest, p.epoch_ms);
        for (std::size_t k = 0; k < 3; ++k) {
            const std::size_t side = k < 2 ? 0 : 1;
            lo[side] = std::min(lo[side], p.values[k]);
            hi[side] = std::max(hi[side], p.values[k]);
        }
    }
    for (std::size_t side = 0; side < 2; ++side) fit(*value_axes_[side], lo[side], hi[side]);
    time_axis_->setRange(QDateTime::fromMSecsSinceEpoch(oldest),
                         QDateTime::fromMSecsSinceEpoch(std::max(newest, oldest + kShortestSpanMs)));
}

std::array<QList<QPointF>, 3> outline(const std::deque<form::TrendPoint>& points, int columns) {
    std::array<QList<QPointF>, 3> curves;
    const auto at = [&points](std::size_t i, std::size_t k) {
        return QPointF(static_cast<qreal>(points[i].epoch_ms), points[i].values[k]);
    };
    if (points.size() <= 4 * static_cast<std::size_t>(std::max(columns, 1))) {
        for (std::size_t i = 0; i < points.size(); ++i)
            for (std::size_t k = 0; k < curves.size(); ++k) curves[k].append(at(i, k));
        return curves;
    }
    const auto [first, last] = std::minmax_element(
        points.begin(), points.end(), [](const auto& a, const auto& b) { return a.epoch_ms < b.epoch_ms; });
    const std::int64_t oldest = first->epoch_ms;
    const double per_column = static_cast<double>(last->epoch_ms - oldest + 1) / columns;
    const auto column = [&](std::size_t i) { return static_cast<int>((points[i].epoch_ms - oldest) / per_column); };
    for (std::size_t start = 0; start < points.size();) {
        const int here = column(start);
        std::size_t end = start + 1;
        while (end < points.size() && column(end) == here) ++end;
        for (std::size_t k = 0; k < curves.size(); ++k) {
            std::size_t low = start, high = start;
            for (std::size_t i = start; i < end; ++i) {
                if (points[i].values[k] < points[low].values[k]) low = i;
                if (points[i].values[k] > points[high].values[k]) high = i;
            }
            std::array<std::size_t, 4> keep{start, low, high, end - 1};
            std::sort(keep.begin(), keep.end());
            for (std::size_t j = 0; j < keep.size(); ++j)
                if (j == 0 || keep[j] != keep[j - 1]) curves[k].append(at(keep[j], k));
        }
        start = end;
    }
    return curves;
}

void TrendView::show_log_file() {
    const QString path = q(program_.frmTrend.lbl_log_file.caption());
    log_file_->setToolTip(path);
    log_file_->setText(log_file_->fontMetrics().elidedText(path, Qt::ElideMiddle, std::max(log_file_->width(), 80)));
}

void TrendView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    show_log_file();
}

}  // namespace vor3::qt
