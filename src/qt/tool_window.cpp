#include "qt/tool_window.h"

#include <QCloseEvent>
#include <QScreen>

#include "qt/binder.h"
#include "qt/placement.h"

namespace vor3::qt {

namespace {

Qt::WindowFlags flags(bool resizable) {
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (resizable) f |= Qt::WindowMaximizeButtonHint;
    return f;
}

}  // namespace

ToolWindow::ToolWindow(QWidget* owner, bool resizable, std::function<void()> unload)
    : QDialog(owner, flags(resizable)), unload_(std::move(unload)) {}

void ToolWindow::follow(const form::Window& model) {
    setWindowTitle(QString::fromStdString(model.caption()));
    const bool shown = model.visible() && model.loaded();
    if (shown == isVisible()) return;
    if (!shown) {
        hide();
        return;
    }
    show();
    raise();
    activateWindow();
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    guarded(unload_);
    event->accept();
}

void ToolWindow::reject() { guarded(unload_); }

void ToolWindow::showEvent(QShowEvent* event) {
    // The first time only: afterwards it opens where the user left it.
    const QWidget* owner = parentWidget();
    if (!placed_ && owner && owner->isVisible()) {
        placed_ = true;
        // As the configuration window: the frame is not known before the
        // window manager has framed the window; a usual title bar is
        // allowed for.
        constexpr int kTitleBar = 30;
        const bool framed = frameGeometry() != geometry();
        const QSize outer = framed ? frameGeometry().size() : size() + QSize(0, kTitleBar);
        if (const QScreen* s = owner->screen())
            move(beside(s->availableGeometry(), owner->frameGeometry(), outer) +
                 (framed ? QPoint() : QPoint(0, kTitleBar)));
    }
    QDialog::showEvent(event);
}

}  // namespace vor3::qt
