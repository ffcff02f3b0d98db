#include "qt/colors.h"

#include <QApplication>
#include <QWidget>

namespace vor3::qt {

namespace {

constexpr std::uint32_t kSystemFlag = 0x80000000u;

QPalette::ColorRole system_role(std::uint32_t index) {
    switch (index) {
    case 0: return QPalette::Button;       // scroll bar
    case 5: return QPalette::Base;         // window background
    case 8: return QPalette::Text;         // window text
    case 15: return QPalette::Button;      // button face
    case 18: return QPalette::ButtonText;  // button text
    default: return QPalette::WindowText;
    }
}

}  // namespace

QColor to_qcolor(std::uint32_t color, const QPalette& palette) {
    if (color & kSystemFlag) return palette.color(QPalette::Active, system_role(color & 0xFFu));
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

void set_widget_color(QWidget& widget, QPalette::ColorRole role, std::uint32_t color) {
    QPalette p = widget.palette();
    const QPalette& system = QApplication::palette(&widget);
    const QColor c = to_qcolor(color, system);
    // A colour of its own (a change mark) stays visible, muted, while the
    // window is disabled during a transfer; a system colour greys as usual.
    QColor disabled = system.color(QPalette::Disabled, role);
    if (!(color & kSystemFlag))
        disabled = QColor((c.red() + disabled.red()) / 2, (c.green() + disabled.green()) / 2,
                          (c.blue() + disabled.blue()) / 2);
    if (p.color(QPalette::Active, role) == c && p.color(QPalette::Inactive, role) == c &&
        p.color(QPalette::Disabled, role) == disabled)
        return;
    p.setColor(QPalette::Active, role, c);
    p.setColor(QPalette::Inactive, role, c);
    p.setColor(QPalette::Disabled, role, disabled);
    widget.setPalette(p);
}

}  // namespace vor3::qt
