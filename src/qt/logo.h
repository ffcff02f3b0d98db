#pragma once
#include <QPixmap>

namespace vor3::qt {

// The maker's logo beside the serial settings, drawn rather than shipped
// as a file.
QPixmap draw_logo(qreal device_pixel_ratio = 1.0);

}  // namespace vor3::qt
