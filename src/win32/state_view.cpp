#include "win32/state_view.h"

#include "win32/layout.h"
#include "win32/placement.h"
#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

constexpr const wchar_t* kStateClass = L"Vor3StateWindow";

void register_state_class() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = view_window_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = kStateClass;
    RegisterClassExW(&cls);
}

}  // namespace

StateView::StateView(form::FrmState& state, Binder& binder, const Fonts& fonts, HWND owner)
    : state_(state), binder_(binder), make_(binder, fonts), owner_(owner) {
    register_view_classes();
    register_state_class();
    // A title bar with only the close box: no minimise, no maximise.
    window_ =
        CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kStateClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                        0, 0, 300, 120, owner, nullptr, GetModuleHandleW(nullptr), static_cast<MessageTarget*>(this));
    make_.set_parent(window_);
    make_.label(state.lblTxt, "lblTxt");
    // A longer text during the transfer widens the window where it stands.
    state.lblTxt.changed = [this, shown = state.lblTxt.changed] {
        shown();
        if (IsWindowVisible(window_)) place(false);
    };
    // The bar's frame has no window of its own: its state reaches the bar.
    binder.custom(state.frameProgress, [&binder] { binder.sync_all(); });
    make_.progress(state.ProgressFile, "ProgressFile", 240);
    make_.button(state.Abbruch, "Abbruch");
    make_.button(state.cmdOK, "cmdOK");
    binder.custom(state, [this] { follow_model(); });
}

StateView::~StateView() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void StateView::place(bool centre) {
    using namespace layout;
    const Fonts& f = make_.fonts();
    make_.measure();
    auto buttons = row(f.scale(6));
    buttons->stretch();
    // The window keeps one width whether it offers "Abbruch" or not.
    buttons->add(make_.item(make_.find("Abbruch"))).add(make_.item(make_.find("cmdOK")));
    auto rows = column(f.scale(8));
    rows->add(make_.item(make_.find("lblTxt")));
    rows->add(make_.item(make_.find("ProgressFile")));
    rows->add(std::move(buttons));
    auto whole = margins(std::move(rows), f.scale(11), f.scale(11), f.scale(11), f.scale(11));
    const Size need = whole->size();
    whole->place(0, 0, need.w, need.h);
    if (!centre) {
        fit_client(window_, need);
        return;
    }
    const SIZE size = fit_client(window_, need);
    // Over the middle of the main window, whole on its screen.
    RECT owner{};
    GetWindowRect(owner_, &owner);
    POINT at{owner.left + (owner.right - owner.left - size.cx) / 2,
             owner.top + (owner.bottom - owner.top - size.cy) / 2};
    const RECT area = work_area(owner_);
    at.x = std::max(area.left, std::min(at.x, area.right - size.cx));
    at.y = std::max(area.top, std::min(at.y, area.bottom - size.cy));
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

void StateView::follow_model() {
    SetWindowTextW(window_, port_text::wide(state_.caption()).c_str());
    const bool shown = state_.visible() && state_.loaded();
    if (shown == (IsWindowVisible(window_) != FALSE)) return;
    if (!shown) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    place(true);
    ShowWindow(window_, SW_SHOW);
}

bool StateView::message(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (binder_.message(w, msg, wp, lp, result)) return true;
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL && lp == 0) {
        // Escape, as the dialog keys turn it into a command.
        guarded([this] { state_.key_down(form::kKeyEscape); });
        result = 0;
        return true;
    }
    if (msg != WM_CLOSE) return false;
    // Closing is cancelling where the transfer may be cancelled; otherwise
    // the transfer ends the window.
    if (state_.Abbruch.visible()) guarded([this] { state_.Abbruch.press(); });
    result = 0;
    return true;
}

}  // namespace vor3::win32
