#include "win32/window_loop.h"

#include <timeapi.h>

#include "win32/binder.h"
#include "win32/widget_factory.h"

namespace vor3::win32 {

namespace {

// The active window when it is one of the view's own (a message box keeps
// its own dialog keys).
HWND view_window_for(const MSG& msg) {
    if (!msg.hwnd) return nullptr;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (!root) return nullptr;
    return GetWindowLongPtrW(root, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&view_window_proc) ? root : nullptr;
}

}  // namespace

void WindowLoop::dispatch(MSG& msg) {
    if (accel_ && accel_window_ && GetAncestor(msg.hwnd, GA_ROOT) == accel_window_ &&
        TranslateAcceleratorW(accel_window_, accel_, &msg))
        return;
    if (HWND root = view_window_for(msg); root && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool WindowLoop::turn(DWORD longest_wait_ms) {
    if (on_turn_) on_turn_();
    guarded([this] { clock_.fire_due(); });
    const std::int64_t next = clock_.wait_ms();
    DWORD wait = longest_wait_ms;
    if (next >= 0 && next < static_cast<std::int64_t>(wait)) wait = static_cast<DWORD>(next);
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exit_code_ = static_cast<int>(msg.wParam);
            return false;
        }
        dispatch(msg);
        // Timers keep their time while messages stream in.
        if (clock_.wait_ms() == 0) break;
    }
    return true;
}

int WindowLoop::run() {
    // The model's timers count milliseconds (a reply poll of 50 ms, the
    // line's turn); the system timer's 15.6 ms would stretch them.
    timeBeginPeriod(1);
    while (turn(INFINITE)) {
    }
    timeEndPeriod(1);
    return exit_code_;
}

bool WindowLoop::run_until(const std::function<bool()>& done, std::int64_t limit_ms) {
    timeBeginPeriod(1);
    const std::int64_t end = clock_.now_ms() + limit_ms;
    bool held = done();
    while (!held && clock_.now_ms() < end) {
        if (!turn(5)) break;
        held = done();
    }
    timeEndPeriod(1);
    return held;
}

}  // namespace vor3::win32
