#include "qt/logo.h"

#include <QBuffer>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace vor3::qt {

namespace {

// The maker's mark: a blue rounded box with a sensor's "signal" (a dot and
// three arcs) at `centre`, arcs of radius `first`, first + `step`, ...
// drawn with lines `line` wide.
struct Mark {
    QRectF box;
    qreal corner, border;
    QPointF centre;
    int first, step;
    qreal line, dot;
};

void paint_mark(QPainter& p, const Mark& m) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(m.box.topLeft(), m.box.bottomLeft());
    fill.setColorAt(0, QColor(0x1f, 0x6f, 0xa8));
    fill.setColorAt(1, QColor(0x0d, 0x3b, 0x66));
    p.setPen(QPen(QColor(0x0a, 0x2c, 0x4d), m.border));
    p.setBrush(fill);
    p.drawRoundedRect(m.box, m.corner, m.corner);

    const QColor green(0x9f, 0xe0, 0x6a);
    p.setPen(QPen(green, m.line, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0, r = m.first; i < 3; ++i, r += m.step)
        p.drawArc(QRectF(m.centre.x() - r, m.centre.y() - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    p.setBrush(green);
    p.setPen(Qt::NoPen);
    p.drawEllipse(m.centre, m.dot, m.dot);
}

QFont bold_font(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

}  // namespace

QPixmap draw_logo(qreal device_pixel_ratio) {
    constexpr int kWidth = 150, kHeight = 38;
    QPixmap pixmap(QSize(kWidth, kHeight) * device_pixel_ratio);
    pixmap.setDevicePixelRatio(device_pixel_ratio);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    paint_mark(p, {QRectF(0.5, 0.5, kWidth - 1, kHeight - 1), 7, 1, QPointF(16, kHeight / 2.0), 5, 4, 2.2, 2.2});
    QFont font = bold_font(19);
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(36, 0, kWidth - 42, kHeight), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Vadivoz"));
    return pixmap;
}

QImage draw_icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / 64.0, size / 64.0);
    paint_mark(p, {QRectF(2, 2, 60, 60), 12, 1.5, QPointF(12, 32), 6, 5, 3.5, 3.2});
    p.setFont(bold_font(32));
    p.setPen(Qt::white);
    p.drawText(QRectF(30, 4, 30, 56), Qt::AlignCenter, QStringLiteral("V"));
    return image;
}

namespace {

void put16(QByteArray& out, quint16 v) { out.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8)); }
void put32(QByteArray& out, quint32 v) {
    put16(out, static_cast<quint16>(v & 0xffff));
    put16(out, static_cast<quint16>(v >> 16));
}

// One image of an icon file as Windows keeps it: a bitmap header of twice
// the height (colour and mask), the colours bottom-up as BGRA, then the
// mask (all clear: the alpha channel decides).
QByteArray icon_bitmap(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int mask_row = (size + 31) / 32 * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, static_cast<quint32>(size));
    put32(out, static_cast<quint32>(2 * size));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, static_cast<quint32>(size * size * 4 + size * mask_row));
    for (int i = 0; i < 4; ++i) put32(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) put32(out, image.pixel(x, y));  // 0xAARRGGBB is BGRA in memory order
    out.append(QByteArray(size * mask_row, '\0'));
    return out;
}

}  // namespace

QByteArray icon_file() {
    const int sizes[] = {16, 24, 32, 48, 256};
    std::vector<QByteArray> images;
    for (int size : sizes) {
        if (size < 256) {
            images.push_back(icon_bitmap(draw_icon(size)));
            continue;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        draw_icon(size).save(&buffer, "PNG");
        images.push_back(png);
    }
    QByteArray out;
    put16(out, 0);
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<quint16>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        out.append(static_cast<char>(size < 256 ? size : 0)).append(static_cast<char>(size < 256 ? size : 0));
        out.append('\0').append('\0');
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<quint32>(images[i].size()));
        put32(out, offset);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& image : images) out.append(image);
    return out;
}

}  // namespace vor3::qt
