#pragma once
#include <cstdint>

#include <QTimer>

#include "qt/tool_window.h"

class QPlainTextEdit;

namespace vor3::app {
class Program;
}

namespace vor3::qt {

class Binder;

// The traffic window: mirrors the model's frmTraffic and shows the lines of
// the traffic record. New lines are fetched a few times a second and
// appended in one go, so an open window costs a transfer nothing.
class TrafficView : public ToolWindow {
public:
    TrafficView(app::Program& program, Binder& binder, QWidget* owner);

    // Appends what the record holds that is not shown yet.
    void pull();

private:
    void follow_model();

    app::Program& program_;
    QPlainTextEdit* text_;
    QTimer poll_;
    std::uint64_t shown_ = 0;  // the number of the last entry shown
    std::uint64_t clears_ = 0;
};

}  // namespace vor3::qt
