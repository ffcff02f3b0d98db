#include "ui/trend_curves.h"

#include <algorithm>
#include <utility>

namespace vor3::ui {

namespace {

constexpr std::int64_t kShortestPauseMs = 2000;
constexpr std::int64_t kPausePaces = 3;

// The moments between which the readings paused, in the order they came.
std::vector<std::pair<std::int64_t, std::int64_t>> pauses(const std::deque<form::TrendPoint>& points) {
    std::vector<std::int64_t> steps;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (const std::int64_t d = points[i].epoch_ms - points[i - 1].epoch_ms; d > 0) steps.push_back(d);
    if (steps.empty()) return {};
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    const std::int64_t longest = std::max(kShortestPauseMs, kPausePaces * *middle);
    std::vector<std::pair<std::int64_t, std::int64_t>> found;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (points[i].epoch_ms - points[i - 1].epoch_ms > longest)
            found.emplace_back(points[i - 1].epoch_ms, points[i].epoch_ms);
    return found;
}

}  // namespace

std::array<Curve, 3> outline(const std::deque<form::TrendPoint>& points, int columns) {
    std::array<Curve, 3> curves;
    const auto at = [&points](std::size_t i, std::size_t k) {
        return CurvePoint{static_cast<double>(points[i].epoch_ms), points[i].values[k]};
    };
    if (points.size() <= 4 * static_cast<std::size_t>(std::max(columns, 1))) {
        for (std::size_t i = 0; i < points.size(); ++i)
            for (std::size_t k = 0; k < curves.size(); ++k) curves[k].push_back(at(i, k));
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
                if (j == 0 || keep[j] != keep[j - 1]) curves[k].push_back(at(keep[j], k));
        }
        start = end;
    }
    return curves;
}

std::array<Stretches, 3> stretches(const std::deque<form::TrendPoint>& points, int columns) {
    const auto curves = outline(points, columns);
    const auto gaps = pauses(points);
    std::array<Stretches, 3> out;
    for (std::size_t k = 0; k < curves.size(); ++k) {
        const Curve& curve = curves[k];
        if (curve.empty()) continue;
        out[k].emplace_back();
        std::size_t g = 0;
        for (std::size_t i = 0; i < curve.size(); ++i) {
            if (i > 0) {
                const double from = curve[i - 1].x, to = curve[i].x;
                while (g < gaps.size() && static_cast<double>(gaps[g].second) <= from) ++g;
                const bool back = to < from;
                const bool across = g < gaps.size() && static_cast<double>(gaps[g].first) >= from &&
                                    static_cast<double>(gaps[g].second) <= to;
                if (back || across) out[k].emplace_back();
            }
            out[k].back().push_back(curve[i]);
        }
    }
    return out;
}

TimeTicks time_ticks(std::int64_t oldest_ms, std::int64_t newest_ms, std::int64_t utc_offset_ms, int most) {
    constexpr std::int64_t s = 1000, m = 60 * s, h = 60 * m;
    constexpr std::int64_t kSteps[] = {s,      2 * s,  5 * s,  10 * s, 15 * s, 30 * s, m,     2 * m,  5 * m,
                                       10 * m, 15 * m, 30 * m, h,      2 * h,  3 * h,  6 * h, 12 * h, 24 * h};
    // Whole steps of the local clock: floor and ceiling of non-negative
    // local times.
    const auto down = [](std::int64_t t, std::int64_t step) { return t - ((t % step) + step) % step; };
    TimeTicks ticks;
    for (const std::int64_t step : kSteps) {
        ticks.step_ms = step;
        ticks.first_ms = down(oldest_ms + utc_offset_ms, step) - utc_offset_ms;
        ticks.last_ms = down(newest_ms + utc_offset_ms + step - 1, step) - utc_offset_ms;
        if (ticks.last_ms <= ticks.first_ms) ticks.last_ms = ticks.first_ms + step;
        ticks.count = static_cast<int>((ticks.last_ms - ticks.first_ms) / step) + 1;
        if (ticks.count <= most) break;
    }
    return ticks;
}

}  // namespace vor3::ui
