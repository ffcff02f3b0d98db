#pragma once
#include "app/program.h"
#include "win32/tool_window.h"

namespace vor3::win32 {

// "Register": every register and coil as the last read gave it, in a
// list view of report style, and the button that copies them.
class RegisterView : public ToolWindow {
public:
    RegisterView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner);

protected:
    layout::ItemPtr contents() override;

private:
    app::Program& program_;
    HWND table_ = nullptr;
};

}  // namespace vor3::win32
