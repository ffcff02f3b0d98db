#pragma once
#include <array>
#include <cstdint>

#include "app/program.h"
#include "win32/tool_window.h"

namespace vor3::win32 {

// "Verlauf": the last hour of readings drawn with GDI, temperature and
// humidity on the left axis, CO2 on its own axis on the right, the time of
// day below, no line drawn across a pause of the readings; and the switch
// that logs them to a file. The curves catch up with the readings four
// times a second while the window shows.
class TrendView : public ToolWindow {
public:
    TrendView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner);

    // A value axis: from lo to hi, a tick every step.
    struct Axis {
        double lo = 0, hi = 1, step = 0.5;
    };
    const std::array<Axis, 2>& value_axes() const { return axes_; }
    // Draws the chart into `r` of `dc` (the chart window's WM_PAINT).
    void paint(HDC dc, const RECT& r);
    // Times the curves are drawn, for tests.
    int drawn() const { return drawn_; }

protected:
    layout::ItemPtr contents() override;
    bool more(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void follow_model();

    app::Program& program_;
    HWND chart_ = nullptr;
    std::array<Axis, 2> axes_{};
    bool caught_up_ = true;
    int drawn_ = 0;
};

// Fits a value axis to the values from lo to hi on round numbers. It keeps
// its range while the values stay inside and fill at least half of it, so
// that the scale does not jump with every reading.
TrendView::Axis fit_axis(const TrendView::Axis& now, double lo, double hi);

}  // namespace vor3::win32
