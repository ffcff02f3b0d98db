#pragma once
#include "qt/tool_window.h"

class QTableWidget;

namespace vor3::app {
class Program;
}

namespace vor3::qt {

class Binder;

// The register view: mirrors the model's frmRegisters, its table in a
// table widget the user can select and copy from as well.
class RegisterView : public ToolWindow {
public:
    RegisterView(app::Program& program, Binder& binder, QWidget* owner);

private:
    app::Program& program_;
    QTableWidget* table_;
};

}  // namespace vor3::qt
