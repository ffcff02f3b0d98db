#pragma once
#include "qt/tool_window.h"

class QTableWidget;

namespace vor3::app {
class Program;
}

namespace vor3::qt {

class Binder;

// The bus window: mirrors the model's frmBus. It stays open beside the
// configuration window; closing it stops a run after the sensor in
// progress.
class BusView : public ToolWindow {
public:
    BusView(app::Program& program, Binder& binder, QWidget* owner);

private:
    app::Program& program_;
    QTableWidget* table_;
};

}  // namespace vor3::qt
