#include "win32/tool_window.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "win32/placement.h"
#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

constexpr const wchar_t* kToolClass = L"Vor3ToolWindow";
// Posted once the window shows: the texts its loading set are laid out.
constexpr UINT kRelayout = WM_APP + 2;

void register_tool_class() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = view_window_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = kToolClass;
    RegisterClassExW(&cls);
}

// The frames of the other tool windows of `owner` on show.
std::vector<form::Rect> open_tool_windows(HWND owner, HWND self) {
    struct Search {
        HWND owner, self;
        std::vector<form::Rect> found;
    } search{owner, self, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (w != s.self && GetWindow(w, GW_OWNER) == s.owner && IsWindowVisible(w) &&
                std::wcscmp(cls, kToolClass) == 0) {
                RECT r{};
                GetWindowRect(w, &r);
                s.found.push_back(rect_of(r));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

ToolWindow::ToolWindow(Binder& binder, const Fonts& fonts, HWND owner, bool resizable, std::function<void()> unload)
    : binder_(binder), make_(binder, fonts), owner_(owner), unload_(std::move(unload)), resizable_(resizable) {
    register_view_classes();
    register_tool_class();
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (resizable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kToolClass, L"", style, 0, 0, 300, 200, owner, nullptr,
                              GetModuleHandleW(nullptr), static_cast<MessageTarget*>(this));
    make_.set_parent(window_);
    // The program's icon, as the configuration window has it.
    for (const WPARAM which : {ICON_BIG, ICON_SMALL})
        SendMessageW(window_, WM_SETICON, which, SendMessageW(owner, WM_GETICON, which, 0));
}

ToolWindow::~ToolWindow() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void ToolWindow::place(bool beside_owner) {
    make_.measure();
    layout::ItemPtr items = contents();
    least_ = items->size();
    RECT client{};
    GetClientRect(window_, &client);
    if (!beside_owner && resizable_) {
        items->place(0, 0, std::max<int>(least_.w, client.right), std::max<int>(least_.h, client.bottom));
        return;
    }
    const layout::Size want{std::max<int>(least_.w, resizable_ ? client.right : 0),
                            std::max<int>(least_.h, resizable_ ? client.bottom : 0)};
    items->place(0, 0, want.w, want.h);
    const SIZE size = fit_client(window_, want);
    if (!beside_owner) return;
    RECT owner{};
    GetWindowRect(owner_, &owner);
    const form::Point at =
        form::tool_window_place(rect_of(work_area(owner_)), rect_of(owner), open_tool_windows(owner_, window_),
                                {static_cast<int>(size.cx), static_cast<int>(size.cy)});
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ToolWindow::refont() {
    make_.refont();
    if (IsWindowVisible(window_)) place(false);
}

void ToolWindow::follow(const form::Window& model) {
    SetWindowTextW(window_, port_text::wide(model.caption()).c_str());
    const bool shown = model.visible() && model.loaded();
    if (shown == (IsWindowVisible(window_) != FALSE)) return;
    if (!shown) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    binder_.sync_all();
    // The first time beside the owner; afterwards where the user left it.
    place(!placed_);
    placed_ = true;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    PostMessageW(window_, kRelayout, 0, 0);
}

bool ToolWindow::message(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (binder_.message(w, msg, wp, lp, result)) return true;
    if (more(msg, wp, lp, result)) return true;
    switch (msg) {
    case kRelayout:
        if (IsWindowVisible(window_)) place(false);
        result = 0;
        return true;
    case WM_COMMAND:
        if (LOWORD(wp) != IDCANCEL || lp != 0) return false;
        [[fallthrough]];
    case WM_CLOSE:
        guarded(unload_);
        result = 0;
        return true;
    case WM_SIZE:
        if (resizable_ && IsWindowVisible(window_) && wp != SIZE_MINIMIZED) place(false);
        return false;
    case WM_GETMINMAXINFO: {
        if (!resizable_ || least_.w == 0) return false;
        RECT outer{0, 0, least_.w, least_.h};
        AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)), FALSE,
                                 static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE)), GetDpiForWindow(w));
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize = {outer.right - outer.left, outer.bottom - outer.top};
        result = 0;
        return true;
    }
    default: return false;
    }
}

}  // namespace vor3::win32
