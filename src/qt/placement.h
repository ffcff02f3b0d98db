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

// Where a window of `frame` size goes beside the window `owner` (its frame)
// so that it hides none of it: to its right, else to its left, else below,
// else above, wherever it fits whole on the screen, level with the owner's
// top or left edge as far as the screen allows. Where it fits nowhere, it
// keeps to the screen's right edge and the owner's top. Returns the frame's
// top-left corner.
QPoint beside(const QRect& area, const QRect& owner, const QSize& frame);

}  // namespace vor3::qt
