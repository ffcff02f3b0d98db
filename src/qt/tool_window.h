#pragma once
#include <functional>

#include <QDialog>

namespace vor3::qt {

// A window beside the configuration window whose model the program loads
// and unloads: closing it, or Escape, unloads the model window, which
// stops what it runs.
class ToolWindow : public QDialog {
public:
    ToolWindow(QWidget* owner, Qt::WindowFlags flags, std::function<void()> unload);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    std::function<void()> unload_;
};

}  // namespace vor3::qt
