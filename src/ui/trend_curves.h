#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "form/frm_trend.h"

namespace vor3::ui {

// A point of a curve: the time in milliseconds since 1970 and the value.
struct CurvePoint {
    double x = 0;
    double y = 0;
};
using Curve = std::vector<CurvePoint>;

// The curves of the points as a line drawn `columns` wide shows them: where
// a column holds more than a few points, only its first, lowest, highest
// and last of each curve, in the order they came. Points are grouped into
// columns by time, a run of points at a time.
std::array<Curve, 3> outline(const std::deque<form::TrendPoint>& points, int columns);

// The outlined curves cut into stretches, so that no line is drawn across a
// time without readings: a reading that comes well after the pace of the
// others (more than three times their usual spacing, and at least two
// seconds: the read-out stopped, or the sensor did not answer for a while),
// or before the one ahead of it (the wall clock was set back), begins a new
// stretch. The stretches come in the order of the readings.
using Stretches = std::vector<Curve>;
std::array<Stretches, 3> stretches(const std::deque<form::TrendPoint>& points, int columns);

// A time axis with its ticks on round times of the local clock: from the
// round time at or before `oldest_ms` to the one at or after `newest_ms`,
// one tick a step of 1, 2, 5, 10, 15 or 30 seconds, minutes or hours, the
// shortest that needs no more than `most` ticks. Times in milliseconds
// since 1970; `utc_offset_ms` is the local clock's.
struct TimeTicks {
    std::int64_t first_ms = 0;
    std::int64_t last_ms = 0;
    int count = 0;  // ticks, both ends included
    std::int64_t step_ms = 0;
};
TimeTicks time_ticks(std::int64_t oldest_ms, std::int64_t newest_ms, std::int64_t utc_offset_ms, int most = 8);

}  // namespace vor3::ui
