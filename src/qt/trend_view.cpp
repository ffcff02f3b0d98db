#include "qt/trend_view.h"

#include <algorithm>

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include "app/program.h"
#include "qt/binder.h"
#include "qt/widget_factory.h"
#include "ui/trend_curves.h"

namespace vor3::qt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QList<QPointF> q_points(const ui::Curve& curve) {
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(curve.size()));
    for (const ui::CurvePoint& p : curve) out.append(QPointF(p.x, p.y));
    return out;
}

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
    : ToolWindow(owner, true, [&program] { program.trend_window.unload(); }), program_(program) {
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

QLineSeries* TrendView::add_stretch(std::size_t k) {
    auto* stretch = new QLineSeries;
    chart_->addSeries(stretch);
    stretch->setPen(series_[k]->pen());
    stretch->attachAxis(time_axis_);
    stretch->attachAxis(value_axes_[k < 2 ? 0 : 1]);
    for (QLegendMarker* marker : chart_->legend()->markers(stretch)) marker->setVisible(false);
    return stretch;
}

void TrendView::follow_chart() {
    const auto& points = program_.frmTrend.cht_trend.points();
    const int columns = std::max(100, static_cast<int>(chart_->plotArea().width()));
    const auto curves = ui::stretches(points, columns);
    // One replacement lays each curve out once, where adding point by
    // point would lay it out for every point. The named curve, in the
    // legend, is the latest stretch; the earlier ones are drawn alike.
    for (std::size_t k = 0; k < series_.size(); ++k) {
        const ui::Stretches& parts = curves[k];
        series_[k]->replace(parts.empty() ? QList<QPointF>() : q_points(parts.back()));
        const std::size_t earlier = parts.empty() ? 0 : parts.size() - 1;
        auto& drawn = earlier_[k];
        while (drawn.size() < earlier) drawn.push_back(add_stretch(k));
        for (std::size_t i = 0; i < drawn.size(); ++i)
            drawn[i]->replace(i < earlier ? q_points(parts[i]) : QList<QPointF>());
    }
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
    const std::int64_t offset = QDateTime::fromMSecsSinceEpoch(newest).offsetFromUtc() * std::int64_t{1000};
    const ui::TimeTicks ticks = ui::time_ticks(oldest, std::max(newest, oldest + kShortestSpanMs), offset);
    time_axis_->setFormat(ticks.step_ms < 60 * 1000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    time_axis_->setRange(QDateTime::fromMSecsSinceEpoch(ticks.first_ms), QDateTime::fromMSecsSinceEpoch(ticks.last_ms));
    time_axis_->setTickCount(ticks.count);
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
