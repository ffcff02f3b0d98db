#include "qt/spin_arrows.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace vor3::qt {

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFocusPolicy(Qt::NoFocus);
}

QSize SpinArrows::sizeHint() const { return {16, 24}; }

void SpinArrows::paintEvent(QPaintEvent*) {
    // Drawn like the button column of a spin box, so that with the field
    // beside it the pair reads as one control.
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const int half = height() / 2;
    const QRect halves[] = {QRect(1, 1, width() - 2, half - 1), QRect(1, half, width() - 2, height() - half - 1)};
    painter.fillRect(rect(), pal.button());
    for (int i = 0; i < 2; ++i) {
        const bool up = i == 0;
        if (pressed_ == (up ? Half::Up : Half::Down)) painter.fillRect(halves[i], pal.mid());
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 1, -3, -1);
        style()->drawPrimitive(up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &painter,
                               this);
    }
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawRect(frame);
    painter.drawLine(1, half, width() - 2, half);
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF p = event->position();
    pressed_ = p.y() < height() / 2.0 ? Half::Up : Half::Down;
    // Watch the whole application while held: a release over another
    // window, or a window that takes the mouse, must end the hold too.
    qApp->installEventFilter(this);
    update();
    if (on_mouse_down) on_mouse_down(p.x(), p.y());
    if (on_step) on_step(pressed_ == Half::Up);
}

void SpinArrows::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ == Half::None) return;
    if (on_mouse_move) on_mouse_move(event->position().x(), event->position().y());
}

void SpinArrows::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    release();
}

void SpinArrows::release() {
    if (pressed_ == Half::None) return;
    pressed_ = Half::None;
    qApp->removeEventFilter(this);
    update();
    if (on_mouse_up) on_mouse_up();
}

void SpinArrows::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) release();
}

void SpinArrows::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    release();
}

bool SpinArrows::event(QEvent* event) {
    if (event->type() == QEvent::UngrabMouse) release();
    return QWidget::event(event);
}

bool SpinArrows::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (watched != this && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) release();
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate: release(); break;
    default: break;
    }
    return false;
}

void SpinArrows::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (on_resize) on_resize(width(), height());
}

}  // namespace vor3::qt
