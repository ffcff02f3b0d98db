#pragma once
#include <array>
#include <deque>
#include <vector>

#include <QList>
#include <QPointF>
#include <QTimer>

#include "form/frm_trend.h"
#include "qt/tool_window.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace vor3::app {
class Program;
}

namespace vor3::qt {

class Binder;

// The trend window: mirrors the model's frmTrend. It stays open beside the
// configuration window. Qt Charts lays a whole curve out again on any
// change and draws every point, which for an hour of readings takes longer
// than the read-out's pace allows; so the curves catch up a few times a
// second (not at all while the window is hidden), from an outline of the
// readings at the plot's resolution. A reading itself costs the view
// nothing.
class TrendView : public ToolWindow {
public:
    TrendView(app::Program& program, Binder& binder, QWidget* owner);

    QChartView& chart_view() { return *chart_view_; }
    // The curves of temperature, humidity and CO2.
    const std::array<QLineSeries*, 3>& series() const { return series_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void follow_model();
    void follow_chart();
    void follow_captions();
    void show_log_file();
    // A curve's stretch before a pause in the readings, drawn as the curve.
    QLineSeries* add_stretch(std::size_t k);

    app::Program& program_;
    QChartView* chart_view_ = nullptr;
    QChart* chart_ = nullptr;
    QDateTimeAxis* time_axis_ = nullptr;
    std::array<QLineSeries*, 3> series_{};
    std::array<std::vector<QLineSeries*>, 3> earlier_;  // the stretches before the latest
    std::array<QValueAxis*, 2> value_axes_{};           // temperature and humidity; CO2
    QLabel* log_file_ = nullptr;
    QTimer catch_up_;
};

}  // namespace vor3::qt
