#include "qt/spin_arrows.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace vor3::qt {

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFocusPolicy(Qt::NoFocus);
}

QSize SpinArrows::sizeHint() const { return {17, 24}; }

void SpinArrows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const bool up = i == 0;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        const bool down = pressed_ == (up ? Half::Up : Half::Down);
        button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        style()->drawPrimitive(up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &painter,
                               this);
    }
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF p = event->position();
    pressed_ = p.y() < height() / 2.0 ? Half::Up : Half::Down;
    update();
    if (on_mouse_down) on_mouse_down(p.x(), p.y());
    if (on_step) on_step(pressed_ == Half::Up);
}

void SpinArrows::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ == Half::None) return;
    if (on_mouse_move) on_mouse_move(event->position().x(), event->position().y());
}

void SpinArrows::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ == Half::None) return;
    pressed_ = Half::None;
    update();
    if (on_mouse_up) on_mouse_up();
}

void SpinArrows::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (on_resize) on_resize(width(), height());
}

}  // namespace vor3::qt
