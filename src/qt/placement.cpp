#include "qt/placement.h"

namespace vor3::qt {

namespace {

constexpr int kTitleBar = 30;

bool framed(const QWidget& window) { return window.frameGeometry() != window.geometry(); }

}  // namespace

form::Rect rect_of(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

QSize frame_size(const QWidget& window) {
    return framed(window) ? window.frameGeometry().size() : window.size() + QSize(0, kTitleBar);
}

void move_frame(QWidget& window, form::Point at) {
    // move() places the frame, or the window itself while no frame is known.
    window.move(QPoint(at.x, at.y) + (framed(window) ? QPoint() : QPoint(0, kTitleBar)));
}

}  // namespace vor3::qt
