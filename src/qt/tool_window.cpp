#include "qt/tool_window.h"

#include <QCloseEvent>

#include "qt/binder.h"

namespace vor3::qt {

ToolWindow::ToolWindow(QWidget* owner, Qt::WindowFlags flags, std::function<void()> unload)
    : QDialog(owner, flags), unload_(std::move(unload)) {}

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

}  // namespace vor3::qt
