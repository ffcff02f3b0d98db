#pragma once
#include "app/program.h"
#include "win32/tool_window.h"

namespace vor3::win32 {

// "Bus…": every sensor on the line of the configuration window's port,
// found by one search, with its values side by side, and the commissioning
// of a selection of them, one after another.
class BusView : public ToolWindow {
public:
    BusView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner);

protected:
    layout::ItemPtr contents() override;

private:
    app::Program& program_;
    HWND table_ = nullptr;
};

}  // namespace vor3::win32
