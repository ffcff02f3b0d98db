#pragma once
#include <QByteArray>
#include <QImage>
#include <QPixmap>

namespace vor3::qt {

// The maker's logo beside the serial settings, drawn rather than shipped
// as a file.
QPixmap draw_logo(qreal device_pixel_ratio = 1.0);

// The program's icon for the desktop: the logo's signal mark and initial
// on its blue, in a square of `size` pixels.
QImage draw_icon(int size);

// The icon as a Windows icon file (.ico) in the sizes Windows asks for:
// 16 to 48 pixels as bitmaps, 256 as PNG.
QByteArray icon_file();

}  // namespace vor3::qt
