#pragma once
#include <functional>

#include <QDialog>

#include "form/controls.h"

namespace vor3::qt {

// A window beside the configuration window whose model the program loads
// and unloads: closing it, or Escape, unloads the model window, which
// stops what it runs. It is a window of its own, not one kept above the
// configuration window, and first opens beside it, so that it hides
// neither the warning line nor the fields. `resizable` adds a maximise
// button.
class ToolWindow : public QDialog {
public:
    ToolWindow(QWidget* owner, bool resizable, std::function<void()> unload);

protected:
    // Takes the model window's caption as title, and shows (in front) or
    // hides the window as the model has it loaded and visible or not.
    void follow(const form::Window& model);
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<void()> unload_;
    bool placed_ = false;
};

}  // namespace vor3::qt
