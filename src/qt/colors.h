#pragma once
#include <cstdint>

#include <QColor>
#include <QPalette>

class QWidget;

namespace vor3::qt {

// The behaviour stores colours as 0x00BBGGRR, or as a system colour with
// the top bit set (0x80000012 = button text). System colours come from the
// palette, so a field's normal colour is whatever the desktop uses.
QColor to_qcolor(std::uint32_t color, const QPalette& palette);

// Sets the colour of `role` for the active and inactive states; disabled, a
// system colour keeps the palette's greyed look and any other is muted
// towards it.
void set_widget_color(QWidget& widget, QPalette::ColorRole role, std::uint32_t color);

}  // namespace vor3::qt
