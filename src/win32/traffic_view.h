#pragma once
#include "app/program.h"
#include "win32/tool_window.h"

namespace vor3::win32 {

// "Verkehr": the frames on the line, one a line, newest last, in a
// read-only text the user may select and copy from; the lines come from
// the traffic record, looked at five times a second while it shows.
class TrafficView : public ToolWindow {
public:
    TrafficView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner);
    ~TrafficView() override;

protected:
    layout::ItemPtr contents() override;
    bool more(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void pull();
    void follow_model();

    app::Program& program_;
    HWND text_ = nullptr;
    HFONT fixed_ = nullptr;
    std::uint64_t shown_ = 0;
    std::uint64_t clears_ = 0;
    std::wstring lines_;
};

}  // namespace vor3::win32
