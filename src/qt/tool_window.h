#pragma once
#include <functional>

#include <QDialog>

#include "form/controls.h"

namespace vor3::qt {

// A window beside the configuration window whose model the program loads
// and unloads: closing it, or Escape, unloads the model window, which
// stops what it runs.
class ToolWindow : public QDialog {
public:
    ToolWindow(QWidget* owner, Qt::WindowFlags flags, std::function<void()> unload);

protected:
    // Takes the model window's caption as title, and shows (in front) or
    // hides the window as the model has it loaded and visible or not.
    void follow(const form::Window& model);
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    std::function<void()> unload_;
};

}  // namespace vor3::qt
