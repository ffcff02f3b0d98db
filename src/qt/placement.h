#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vor3::qt {

// Where a window goes on its screen: `frame` is its size with title bar
// and borders, `area` the part of the screen free for windows (panels
// left out). It is centred where the screen holds it; where it does not,
// its top-left corner stays on the screen, so that its title bar and menu
// can be reached. Returns the frame's top-left corner.
QPoint centred_on(const QRect& area, const QSize& frame);

}  // namespace vor3::qt
