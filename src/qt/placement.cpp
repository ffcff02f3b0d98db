#include "qt/placement.h"

#include <algorithm>

namespace vor3::qt {

QPoint centred_on(const QRect& area, const QSize& frame) {
    return {area.left() + std::max(0, (area.width() - frame.width()) / 2),
            area.top() + std::max(0, (area.height() - frame.height()) / 2)};
}

namespace {

// The position nearest `wanted` at which the frame lies on the screen, as
// far as it can.
QPoint clamped(const QRect& area, const QSize& frame, QPoint wanted) {
    wanted.setX(std::max(area.left(), std::min(wanted.x(), area.right() + 1 - frame.width())));
    wanted.setY(std::max(area.top(), std::min(wanted.y(), area.bottom() + 1 - frame.height())));
    return wanted;
}

}  // namespace

QPoint beside(const QRect& area, const QRect& owner, const QSize& frame) {
    constexpr int kGap = 8;
    const QPoint sides[] = {
        {owner.right() + 1 + kGap, owner.top()},
        {owner.left() - kGap - frame.width(), owner.top()},
        {owner.left(), owner.bottom() + 1 + kGap},
        {owner.left(), owner.top() - kGap - frame.height()},
    };
    for (int side = 0; side < 4; ++side) {
        // Along the owner's edge the window may slide to stay on the
        // screen; across it, not, or it would cover the owner.
        const QPoint at = clamped(area, frame, sides[side]);
        const bool across_kept = side < 2 ? at.x() == sides[side].x() : at.y() == sides[side].y();
        if (across_kept && area.contains(QRect(at, frame))) return at;
    }
    return clamped(area, frame, {area.right() + 1 - frame.width(), owner.top()});
}

}  // namespace vor3::qt
