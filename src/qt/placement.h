#pragma once
#include <QRect>
#include <QWidget>

#include "form/placement.h"

namespace vor3::qt {

// Screen rectangles as the placement rule takes them.
form::Rect rect_of(const QRect& r);

// Where a window is placed it is not framed yet: the frame is known only
// once the window manager has framed it. Until then a title bar of a usual
// height is allowed for above the window.
QSize frame_size(const QWidget& window);
// Moves the window so that its frame's top-left corner is `at`.
void move_frame(QWidget& window, form::Point at);

}  // namespace vor3::qt
