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
        // Beside the configuration window, hiding none of the tool windows
        // open already.
        std::vector<form::Rect> open;
        for (const ToolWindow* other : owner->findChildren<ToolWindow*>())
            if (other != this && other->isVisible()) open.push_back(rect_of(other->frameGeometry()));
        const QSize outer = frame_size(*this);
        if (const QScreen* s = owner->screen())
            move_frame(*this, form::tool_window_place(rect_of(s->availableGeometry()), rect_of(owner->frameGeometry()),
                                                      open, {outer.width(), outer.height()}));
    }
    QDialog::showEvent(event);
}

}  // namespace vor3::qt
