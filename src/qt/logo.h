#pragma once
#include <QImage>
#include <QPixmap>

namespace vor3::qt {

// The maker's logo beside the serial settings, drawn rather than shipped
// as a file.
QPixmap draw_logo(qreal device_pixel_ratio = 1.0);

// The program's icon for the desktop: the logo's signal mark and initial
// on its blue, in a square of `size` pixels.
QImage draw_icon(int size);

}  // namespace vor3::qt
