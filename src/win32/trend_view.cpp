#include "win32/trend_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ui/trend_curves.h"
#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

constexpr const wchar_t* kChartClass = L"Vor3TrendChart";
constexpr UINT_PTR kCatchUp = 1;
constexpr UINT kCatchUpMs = 250;
// A minute at least, so that the first readings do not fill the width.
constexpr std::int64_t kShortestSpanMs = 60 * 1000;
const COLORREF kCurveColors[3] = {RGB(0x20, 0x9f, 0xdf), RGB(0x99, 0xca, 0x53), RGB(0xf6, 0xa6, 0x25)};

LRESULT CALLBACK chart_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(w, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* view = reinterpret_cast<TrendView*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT r{};
        GetClientRect(w, &r);
        // Drawn off the screen first: no flicker as the curves catch up.
        HDC off = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, r.right, r.bottom);
        const HGDIOBJ old = SelectObject(off, bitmap);
        if (view) guarded([&] { view->paint(off, r); });
        BitBlt(dc, 0, 0, r.right, r.bottom, off, 0, 0, SRCCOPY);
        SelectObject(off, old);
        DeleteObject(bitmap);
        DeleteDC(off);
        EndPaint(w, &ps);
        return 0;
    }
    default: return DefWindowProcW(w, msg, wp, lp);
    }
}

void register_chart_class() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = chart_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kChartClass;
    RegisterClassExW(&cls);
}

// The local clock's offset from UTC now, in milliseconds.
std::int64_t utc_offset_ms() {
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT)
        bias += zone.DaylightBias;
    else if (kind == TIME_ZONE_ID_STANDARD)
        bias += zone.StandardBias;
    return -static_cast<std::int64_t>(bias) * 60 * 1000;
}

std::wstring clock_text(std::int64_t epoch_ms, std::int64_t offset_ms, bool seconds) {
    constexpr std::int64_t kDay = 24 * 60 * 60 * 1000;
    const std::int64_t day = ((epoch_ms + offset_ms) % kDay + kDay) % kDay / 1000;
    wchar_t text[16];
    if (seconds)
        swprintf(text, 16, L"%02d:%02d:%02d", static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60),
                 static_cast<int>(day % 60));
    else
        swprintf(text, 16, L"%02d:%02d", static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60));
    return text;
}

std::wstring number_text(double v, int decimals) {
    wchar_t text[32];
    swprintf(text, 32, decimals ? L"%.1f" : L"%.0f", v);
    return text;
}

}  // namespace

TrendView::Axis fit_axis(const TrendView::Axis& now, double lo, double hi) {
    // A flat curve still gets an axis with some height.
    if (hi - lo < 1) {
        lo -= 0.5;
        hi += 0.5;
    }
    if (lo >= now.lo && hi <= now.hi && 2 * (hi - lo) >= now.hi - now.lo) return now;
    const double rough = (hi - lo) / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * magnitude >= rough) {
            step = m * magnitude;
            break;
        }
    return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

TrendView::TrendView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner)
    : ToolWindow(binder, fonts, owner, true, [&program] { program.trend_window.unload(); }), program_(program) {
    register_chart_class();
    form::FrmTrend& t = program.frmTrend;
    chart_ = CreateWindowExW(WS_EX_CLIENTEDGE, kChartClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window_, nullptr,
                             GetModuleHandleW(nullptr), this);
    make_.check(t.chk_log, "chk_log");
    HWND file = make_.make(L"STATIC", "lbl_log_file", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS);
    binder.custom(t.lbl_log_file,
                  [file, &t] { SetWindowTextW(file, port_text::wide(t.lbl_log_file.caption()).c_str()); });
    binder.custom(t.cht_trend, [this] {
        // Many readings may come between two looks: one drawing for all.
        if (!caught_up_ || !IsWindowVisible(window_)) return;
        caught_up_ = false;
        SetTimer(window_, kCatchUp, kCatchUpMs, nullptr);
    });
    binder.custom(t, [this] { follow_model(); });
}

void TrendView::follow_model() {
    const form::FrmTrend& t = program_.frmTrend;
    if (t.visible() && t.loaded()) InvalidateRect(chart_, nullptr, FALSE);
    follow(t);
}

layout::ItemPtr TrendView::contents() {
    using namespace layout;
    const Fonts& f = make_.fonts();
    const int pad = f.scale(11), gap = f.scale(6);
    RECT client{};
    GetClientRect(window_, &client);
    const int check_h = make_.size(make_.find("chk_log")).h;
    const int w = std::max<int>(f.scale(640), client.right - 2 * pad);
    const int h = std::max<int>(f.scale(360), client.bottom - 2 * pad - gap - check_h);
    auto log_row = row(gap);
    log_row->add(make_.item(make_.find("chk_log")));
    // A long path must not widen the window; it is shortened in the middle.
    log_row->add(control(make_.find("lbl_log_file"), {w - make_.size(make_.find("chk_log")).w - gap, f.line}));
    auto rows = column(gap);
    rows->add(control(chart_, {w, h}));
    rows->add(std::move(log_row));
    return margins(std::move(rows), pad, pad, pad, pad);
}

bool TrendView::more(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_TIMER || wp != kCatchUp) return false;
    KillTimer(window_, kCatchUp);
    caught_up_ = true;
    InvalidateRect(chart_, nullptr, FALSE);
    result = 0;
    return true;
}

void TrendView::paint(HDC dc, const RECT& r) {
    const Fonts& f = make_.fonts();
    const form::TrendChart& chart = program_.frmTrend.cht_trend;
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    const HGDIOBJ old_font = SelectObject(dc, f.normal);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));

    // Room for the axes' labels and titles, and the legend below.
    const int line = f.line, gap = f.scale(6);
    RECT plot{r.left + f.digit * 7 + line + 2 * gap, r.top + line, r.right - f.digit * 6 - line - 2 * gap,
              r.bottom - 4 * line - 3 * gap};
    if (plot.right <= plot.left + 10 || plot.bottom <= plot.top + 10) {
        SelectObject(dc, old_font);
        return;
    }
    const auto& points = chart.points();
    std::int64_t oldest = 0, newest = 0;
    if (!points.empty()) {
        oldest = newest = points.front().epoch_ms;
        std::array<double, 2> lo{}, hi{};
        for (std::size_t side = 0; side < 2; ++side) lo[side] = hi[side] = points.front().values[side == 0 ? 0 : 2];
        for (const form::TrendPoint& p : points) {
            oldest = std::min(oldest, p.epoch_ms);
            newest = std::max(newest, p.epoch_ms);
            for (std::size_t k = 0; k < 3; ++k) {
                const std::size_t side = k < 2 ? 0 : 1;
                lo[side] = std::min(lo[side], p.values[k]);
                hi[side] = std::max(hi[side], p.values[k]);
            }
        }
        for (std::size_t side = 0; side < 2; ++side) axes_[side] = fit_axis(axes_[side], lo[side], hi[side]);
    } else {
        oldest = newest = 0;
    }
    const std::int64_t offset = utc_offset_ms();
    const ui::TimeTicks ticks = ui::time_ticks(oldest, std::max(newest, oldest + kShortestSpanMs), offset);
    const double t0 = static_cast<double>(ticks.first_ms), t1 = static_cast<double>(ticks.last_ms);
    const auto x_of = [&](double t) {
        return plot.left + static_cast<int>(std::lround((t - t0) / (t1 - t0) * (plot.right - plot.left)));
    };
    const auto y_of = [&](const Axis& a, double v) {
        return plot.bottom - static_cast<int>(std::lround((v - a.lo) / (a.hi - a.lo) * (plot.bottom - plot.top)));
    };

    // The grid and the axes' labels.
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(0xe0, 0xe0, 0xe0));
    HPEN frame = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old_pen = SelectObject(dc, grid);
    for (int i = 0; i < ticks.count; ++i) {
        const std::int64_t at = ticks.first_ms + i * ticks.step_ms;
        const int x = x_of(static_cast<double>(at));
        MoveToEx(dc, x, plot.top, nullptr);
        LineTo(dc, x, plot.bottom);
        const std::wstring text = clock_text(at, offset, ticks.step_ms < 60 * 1000);
        RECT label{x - f.digit * 6, plot.bottom + gap / 2, x + f.digit * 6, plot.bottom + gap / 2 + line};
        DrawTextW(dc, text.c_str(), -1, &label, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    for (std::size_t side = 0; side < 2; ++side) {
        const Axis& a = axes_[side];
        for (double v = a.lo; v <= a.hi + a.step / 2; v += a.step) {
            const int y = y_of(a, v);
            if (side == 0) {
                MoveToEx(dc, plot.left, y, nullptr);
                LineTo(dc, plot.right, y);
            }
            const std::wstring text = number_text(v, side == 0 ? 1 : 0);
            RECT label = side == 0 ? RECT{r.left + line + gap, y - line / 2, plot.left - gap / 2, y + line / 2 + 1}
                                   : RECT{plot.right + gap / 2, y - line / 2, r.right - line - gap, y + line / 2 + 1};
            DrawTextW(dc, text.c_str(), -1, &label, (side == 0 ? DT_RIGHT : DT_LEFT) | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SelectObject(dc, frame);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, plot.left, plot.top, plot.right + 1, plot.bottom + 1);

    // The curves, stretch by stretch, inside the plot.
    HRGN clip = CreateRectRgn(plot.left, plot.top, plot.right + 1, plot.bottom + 1);
    SelectClipRgn(dc, clip);
    const auto curves = ui::stretches(points, std::max(100, static_cast<int>(plot.right - plot.left)));
    for (std::size_t k = 0; k < curves.size(); ++k) {
        HPEN pen = CreatePen(PS_SOLID, f.scale(2), kCurveColors[k]);
        SelectObject(dc, pen);
        const Axis& a = axes_[k < 2 ? 0 : 1];
        for (const ui::Curve& stretch : curves[k]) {
            std::vector<POINT> at;
            at.reserve(stretch.size());
            for (const ui::CurvePoint& p : stretch) at.push_back({x_of(p.x), y_of(a, p.y)});
            if (at.size() == 1) at.push_back({at[0].x + 1, at[0].y});
            if (!at.empty()) Polyline(dc, at.data(), static_cast<int>(at.size()));
        }
        SelectObject(dc, frame);
        DeleteObject(pen);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);

    // The axes' titles: the time below, the values turned up the sides.
    const auto& titles = chart.axis_captions();
    RECT below{plot.left, plot.bottom + gap / 2 + line, plot.right, plot.bottom + gap / 2 + 2 * line};
    DrawTextW(dc, port_text::wide(titles[0]).c_str(), -1, &below, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    LOGFONTW turned{};
    GetObjectW(f.normal, sizeof turned, &turned);
    for (std::size_t side = 0; side < 2; ++side) {
        turned.lfEscapement = turned.lfOrientation = side == 0 ? 900 : 2700;
        HFONT font = CreateFontIndirectW(&turned);
        SelectObject(dc, font);
        const std::wstring text = port_text::wide(titles[side + 1]);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        const int middle = (plot.top + plot.bottom) / 2;
        if (side == 0)
            TextOutW(dc, r.left + gap / 2, middle + extent.cx / 2, text.c_str(), static_cast<int>(text.size()));
        else
            TextOutW(dc, r.right - gap / 2, middle - extent.cx / 2, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, f.normal);
        DeleteObject(font);
    }

    // The legend: a stroke of each curve's colour and its name.
    const auto& names = chart.series_captions();
    int width = 0;
    for (const auto& name : names) {
        SIZE s{};
        const std::wstring text = port_text::wide(name);
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
        width += f.scale(24) + s.cx + f.scale(16);
    }
    int x = (r.left + r.right - width) / 2;
    const int y = r.bottom - line - gap;
    for (std::size_t k = 0; k < names.size(); ++k) {
        HPEN pen = CreatePen(PS_SOLID, f.scale(3), kCurveColors[k]);
        SelectObject(dc, pen);
        MoveToEx(dc, x, y + line / 2, nullptr);
        LineTo(dc, x + f.scale(18), y + line / 2);
        SelectObject(dc, frame);
        DeleteObject(pen);
        const std::wstring text = port_text::wide(names[k]);
        TextOutW(dc, x + f.scale(24), y, text.c_str(), static_cast<int>(text.size()));
        SIZE s{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
        x += f.scale(24) + s.cx + f.scale(16);
    }
    SelectObject(dc, old_pen);
    DeleteObject(grid);
    DeleteObject(frame);
    SelectObject(dc, old_font);
    ++drawn_;
}

}  // namespace vor3::win32
