#include "qt/tool_window.h"

#include <QCloseEvent>

#include "qt/binder.h"

namespace vor3::qt {

ToolWindow::ToolWindow(QWidget* owner, Qt::WindowFlags flags, std::function<void()> unload)
    : QDialog(owner, flags), unload_(std::move(unload)) {}

void ToolWindow::closeEvent(QCloseEvent* event) {
    guarded(unload_);
    event->accept();
}

void ToolWindow::reject() { guarded(unload_); }

}  // namespace vor3::qt
