#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "form/controls.h"

namespace vor3::form {

// One reading on the trend: when it was taken, by the program's clock (for
// keeping the last hour, whatever the wall clock does) and by the wall
// clock (for the time axis), and the temperature, humidity and CO2.
struct TrendPoint {
    std::int64_t at_ms = 0;
    std::int64_t epoch_ms = 0;
    std::array<double, 3> values{};
};

// A chart of readings over time. It keeps the last hour, and never more
// points than the capacity, which is above what an hour of the fastest
// read-out brings (one reading per reply poll, 72 000), so the memory it
// takes stays bounded whatever the clocks do.
class TrendChart : public Control {
public:
    static constexpr std::int64_t kKeepMs = 60 * 60 * 1000;
    static constexpr std::size_t kCapacity = 100000;

    using Control::Control;

    // Adds the point and drops those more than an hour older.
    void add(const TrendPoint& point);
    const std::deque<TrendPoint>& points() const { return points_; }

    // The legend's names of the three values.
    const std::array<std::string, 3>& series_captions() const { return series_; }
    // The titles of the time axis, the axis of temperature and humidity,
    // and the axis of CO2.
    const std::array<std::string, 3>& axis_captions() const { return axes_; }
    void set_captions(const std::array<std::string, 3>& series, const std::array<std::string, 3>& axes);

private:
    std::deque<TrendPoint> points_;
    std::array<std::string, 3> series_;
    std::array<std::string, 3> axes_;
};

// The trend window: the chart of the readings and the switch that logs
// them to a file. It is shown beside the configuration window and may be
// closed and opened at any time; the readings are recorded either way.
struct FrmTrend : Window {
    FrmTrend();

    TrendChart cht_trend;
    CheckBox chk_log;
    Label lbl_log_file;  // the file being logged to
};

}  // namespace vor3::form
