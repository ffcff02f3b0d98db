#include "win32/traffic_view.h"

#include <algorithm>

#include "link/traffic.h"
#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

constexpr UINT_PTR kPoll = 1;

}  // namespace

TrafficView::TrafficView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner)
    : ToolWindow(binder, fonts, owner, true, [&program] { program.traffic_window.unload(); }), program_(program) {
    form::FrmTraffic& t = program.frmTraffic;
    // The scroll bar for long lines is always there: one that came and went
    // with them would shrink the view under its last line and hide it.
    text_ =
        make_.make(L"EDIT", "txt_traffic",
                   ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                   WS_EX_CLIENTEDGE);
    LOGFONTW face{};
    face.lfHeight = -MulDiv(9, static_cast<int>(fonts.dpi), 72);
    face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy(face.lfFaceName, L"Consolas");
    fixed_ = CreateFontIndirectW(&face);
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(fixed_), FALSE);
    SendMessageW(text_, EM_SETLIMITTEXT, 0, 0);
    make_.button(t.cmd_pause, "cmd_pause");
    make_.button(t.cmd_clear, "cmd_clear");
    make_.button(t.cmd_save, "cmd_save");
    make_.label(t.lbl_count, "lbl_count");
    binder.custom(t, [this] { follow_model(); });
}

TrafficView::~TrafficView() {
    if (fixed_) DeleteObject(fixed_);
}

layout::ItemPtr TrafficView::contents() {
    using namespace layout;
    const Fonts& f = make_.fonts();
    const auto item = [this](const char* n) { return make_.item(make_.find(n)); };
    auto buttons = row(f.scale(6));
    buttons->add(item("cmd_pause")).add(item("cmd_clear")).add(item("cmd_save"));
    buttons->stretch();
    buttons->add(item("lbl_count"));
    // Wide enough for a reply of a few registers on one line, high enough
    // for a whole read; the text takes what the window is given beyond.
    HDC dc = GetDC(text_);
    const HGDIOBJ old = SelectObject(dc, fixed_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(text_, dc);
    RECT client{};
    GetClientRect(window_, &client);
    const int pad = f.scale(11);
    const int button_h = make_.size(make_.find("cmd_pause")).h;
    const int least_w = tm.tmAveCharWidth * 112 + f.scale(30), least_h = tm.tmHeight * 22 + f.scale(30);
    const int w = std::max<int>(least_w, client.right - 2 * pad);
    const int h = std::max<int>(least_h, client.bottom - 3 * pad - button_h);
    auto rows = column(f.scale(8));
    rows->add(control(text_, {w, h}));
    rows->add(std::move(buttons));
    return margins(std::move(rows), pad, pad, pad, pad);
}

void TrafficView::pull() {
    const link::TrafficRecord& record = program_.traffic;
    bool changed = false;
    if (record.clears() != clears_) {
        clears_ = record.clears();
        lines_.clear();
        changed = true;
    }
    std::string added;
    for (const auto& e : record.entries())
        if (e.number > shown_) added += program_.traffic_window.line(e) + "\r\n";
    if (!record.entries().empty()) shown_ = std::max(shown_, record.entries().back().number);
    if (!added.empty()) {
        lines_ += port_text::wide(added);
        // As many lines as the record holds; the oldest go first.
        std::size_t count = static_cast<std::size_t>(std::count(lines_.begin(), lines_.end(), L'\n'));
        std::size_t cut = 0;
        while (count > link::TrafficRecord::kCapacity) {
            cut = lines_.find(L'\n', cut) + 1;
            --count;
        }
        if (cut) lines_.erase(0, cut);
        changed = true;
    }
    if (!changed) return;
    SetWindowTextW(text_, lines_.c_str());
    // The newest line in view.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(text_));
    SendMessageW(text_, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(text_, EM_SCROLLCARET, 0, 0);
    if (!added.empty()) guarded([this] { program_.traffic_window.show_count(); });
}

void TrafficView::follow_model() {
    const form::FrmTraffic& t = program_.frmTraffic;
    const bool shown = t.visible() && t.loaded();
    if (!shown) KillTimer(window_, kPoll);
    follow(t);
    if (shown) {
        pull();
        SetTimer(window_, kPoll, 200, nullptr);
    }
}

bool TrafficView::more(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_TIMER || wp != kPoll) return false;
    pull();
    result = 0;
    return true;
}

}  // namespace vor3::win32
