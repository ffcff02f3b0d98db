#include "qt/logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vor3::qt {

QPixmap draw_logo(qreal device_pixel_ratio) {
    constexpr int kWidth = 150, kHeight = 38;
    QPixmap pixmap(QSize(kWidth, kHeight) * device_pixel_ratio);
    pixmap.setDevicePixelRatio(device_pixel_ratio);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, kWidth - 1, kHeight - 1);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(0x1f, 0x6f, 0xa8));
    fill.setColorAt(1, QColor(0x0d, 0x3b, 0x66));
    p.setPen(QPen(QColor(0x0a, 0x2c, 0x4d), 1));
    p.setBrush(fill);
    p.drawRoundedRect(box, 7, 7);

    // Three arcs as a sensor's "signal" mark on the left.
    p.setPen(QPen(QColor(0x9f, 0xe0, 0x6a), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QPointF centre(16, kHeight / 2.0);
    for (int r = 5; r <= 13; r += 4) p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    p.setBrush(QColor(0x9f, 0xe0, 0x6a));
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 2.2, 2.2);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(19);
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(36, 0, kWidth - 42, kHeight), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Vadivoz"));
    return pixmap;
}

}  // namespace vor3::qt
