#include "form/placement.h"

#include <algorithm>

namespace vor3::form {

namespace {

constexpr int kGap = 8;
// A title bar's height: a cascaded window leaves the one before's title
// in sight.
constexpr int kCascadeStep = 30;

// The position nearest `wanted` at which the window lies on the area, as
// far as it can: where it is larger, its top-left corner is on the area.
Point clamped(const Rect& area, Size size, Point wanted) {
    wanted.x = std::max(area.x, std::min(wanted.x, area.right() - size.width));
    wanted.y = std::max(area.y, std::min(wanted.y, area.bottom() - size.height));
    return wanted;
}

// How far apart two rectangles are, along both axes together (0: touching
// or overlapping).
int distance(const Rect& a, const Rect& b) {
    const int dx = std::max({0, a.x - b.right(), b.x - a.right()});
    const int dy = std::max({0, a.y - b.bottom(), b.y - a.bottom()});
    return dx + dy;
}

}  // namespace

Point centred_on(const Rect& area, Size size) {
    return {area.x + std::max(0, (area.width - size.width) / 2), area.y + std::max(0, (area.height - size.height) / 2)};
}

Point tool_window_place(const Rect& area, const Rect& owner, const std::vector<Rect>& open, Size size) {
    std::vector<Rect> taken{owner};
    taken.insert(taken.end(), open.begin(), open.end());
    const auto room_at = [&](Point at) {
        const Rect r{at.x, at.y, size.width, size.height};
        return area.contains(r) &&
               std::none_of(taken.begin(), taken.end(), [&](const Rect& t) { return t.overlaps(r); });
    };

    // Beside the owner first, sliding along its edge to stay on the area;
    // across the edge it may not slide, or it would cover the owner.
    const Point sides[] = {
        {owner.right() + kGap, owner.y},
        {owner.x - kGap - size.width, owner.y},
        {owner.x, owner.bottom() + kGap},
        {owner.x, owner.y - kGap - size.height},
    };
    for (int side = 0; side < 4; ++side) {
        const Point at = clamped(area, size, sides[side]);
        const bool across_kept = side < 2 ? at.x == sides[side].x : at.y == sides[side].y;
        if (across_kept && room_at(at)) return at;
    }

    // Else any free place, nearest the owner: every free place can be moved
    // until it touches the area's edge or another window on two sides, so
    // these edges are the places to try.
    std::vector<int> xs{area.x, area.right() - size.width}, ys{area.y, area.bottom() - size.height};
    for (const Rect& t : taken) {
        xs.insert(xs.end(), {t.x, t.right() + kGap, t.x - kGap - size.width, t.right() - size.width});
        ys.insert(ys.end(), {t.y, t.bottom() + kGap, t.y - kGap - size.height, t.bottom() - size.height});
    }
    std::vector<Point> free;
    for (const int x : xs)
        for (const int y : ys)
            if (room_at({x, y})) free.push_back({x, y});
    if (!free.empty()) {
        const auto to_owner = [&](Point p) { return distance(Rect{p.x, p.y, size.width, size.height}, owner); };
        return *std::min_element(free.begin(), free.end(), [&](Point a, Point b) {
            const int da = to_owner(a), db = to_owner(b);
            return da != db ? da < db : (a.y != b.y ? a.y < b.y : a.x > b.x);
        });
    }

    // No room: a cascade, each step a title bar left and down, at the first
    // step that hides no open window's title bar; where every step hides
    // some (the area's bottom stops the cascade), the one hiding fewest.
    const Point start = clamped(area, size, {area.right() - size.width, owner.y});
    const auto titles_hidden = [&](Point at) {
        const Rect r{at.x, at.y, size.width, size.height};
        return std::count_if(open.begin(), open.end(),
                             [&](const Rect& t) { return r.overlaps(t) && at.y < t.y + kCascadeStep; });
    };
    Point best = start, before{start.x + 1, start.y};
    auto fewest = titles_hidden(start);
    for (int k = 0; fewest > 0; ++k) {
        const Point at = clamped(area, size, {start.x - k * kCascadeStep, start.y + k * kCascadeStep});
        if (at == before) break;  // against both edges: no step goes further
        before = at;
        if (const auto hidden = titles_hidden(at); hidden < fewest) {
            best = at;
            fewest = hidden;
        }
    }
    return best;
}

}  // namespace vor3::form
