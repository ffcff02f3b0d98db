#pragma once
#include "qt/tool_window.h"

namespace vor3::app {
class Program;
}

namespace vor3::qt {

class Binder;

// The scan window: mirrors the model's frmScan. It stays open beside the
// configuration window; closing it stops a scan that runs.
class ScanView : public ToolWindow {
public:
    ScanView(app::Program& program, Binder& binder, QWidget* owner);

private:
    app::Program& program_;
};

}  // namespace vor3::qt
