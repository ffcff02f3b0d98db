#pragma once
#include "win32/windows_api.h"

#include <cstdint>
#include <functional>
#include <utility>

#include "win32/win32_clock.h"

namespace vor3::win32 {

// The one user-interface thread: window messages and the model's timers.
// Each turn fires the timers that are due, then waits for a message at most
// until the next timer is due (MsgWaitForMultipleObjectsEx), and dispatches
// what came, after the accelerators of `accel_window` and the dialog
// keys (Tab, Enter, Escape) of the active window of the view.
class WindowLoop {
public:
    explicit WindowLoop(Win32Clock& clock) : clock_(clock) {}
    void set_accelerators(HWND window, HACCEL table) {
        accel_window_ = window;
        accel_ = table;
    }
    // Called at the start of every turn, for measuring how long the
    // thread goes without taking messages; none by default.
    void on_turn(std::function<void()> hook) { on_turn_ = std::move(hook); }
    // Runs until WM_QUIT; returns its exit code.
    int run();
    // Runs until `done` holds or `limit_ms` passed; false when it did not
    // hold. For tests and start-up measurements.
    bool run_until(const std::function<bool()>& done, std::int64_t limit_ms);

private:
    // One turn; false on WM_QUIT.
    bool turn(DWORD longest_wait_ms);
    void dispatch(MSG& msg);

    Win32Clock& clock_;
    HWND accel_window_ = nullptr;
    HACCEL accel_ = nullptr;
    int exit_code_ = 0;
    std::function<void()> on_turn_;
};

}  // namespace vor3::win32
