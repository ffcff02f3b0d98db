#pragma once
#include "app/program.h"
#include "win32/tool_window.h"

namespace vor3::win32 {

// "Sensor suchen…": the settings to try, the progress and the sensors
// found; a double click on a find takes it over as its button does.
class ScanView : public ToolWindow {
public:
    ScanView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner);

protected:
    layout::ItemPtr contents() override;
    bool more(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    app::Program& program_;
};

}  // namespace vor3::win32
