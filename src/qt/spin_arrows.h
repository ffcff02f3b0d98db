#pragma once
#include <functional>

#include <QWidget>

namespace vor3::qt {

// A pair of up/down arrow buttons without a value of their own (the value
// is the text field beside them). It reports the pointer in its own pixel
// coordinates and which half was pressed; auto-repeat is the behaviour's.
class SpinArrows : public QWidget {
public:
    explicit SpinArrows(QWidget* parent = nullptr);

    std::function<void(double x, double y)> on_mouse_down;
    std::function<void(double x, double y)> on_mouse_move;
    std::function<void()> on_mouse_up;
    std::function<void(bool up)> on_step;
    std::function<void(int width, int height)> on_resize;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Half { None, Up, Down };
    // Ends a hold: the button released anywhere, the mouse taken away (a
    // window opened over the arrows), the arrows disabled or hidden.
    void release();
    Half pressed_ = Half::None;
};

}  // namespace vor3::qt
