#include "win32/win32_clock.h"

#include <windows.h>

#include <timeapi.h>

#include <algorithm>

#include "form/timer.h"

namespace vor3::win32 {

namespace {

std::int64_t counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

Win32Clock::Win32Clock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart;
    origin_ = counter();
}

std::int64_t Win32Clock::now_ms() const {
    const std::int64_t ticks = counter() - origin_;
    return ticks / frequency_ * 1000 + ticks % frequency_ * 1000 / frequency_;
}

void Win32Clock::arm(form::Timer& timer, std::int64_t due_ms) {
    disarm(timer);
    const Key key{due_ms, seq_++};
    queue_[key] = &timer;
    armed_[&timer] = key;
}

void Win32Clock::disarm(form::Timer& timer) {
    const auto it = armed_.find(&timer);
    if (it == armed_.end()) return;
    queue_.erase(it->second);
    armed_.erase(it);
}

void Win32Clock::fire_due() {
    const std::int64_t now = now_ms();
    const std::uint64_t armed_before = seq_;
    // Each turn looks afresh: a timer's tick may disarm or re-arm any other.
    for (;;) {
        auto it = queue_.begin();
        while (it != queue_.end() && it->first.first <= now && it->first.second >= armed_before) ++it;
        if (it == queue_.end() || it->first.first > now) return;
        form::Timer* timer = it->second;
        armed_.erase(timer);
        queue_.erase(it);
        timer->fire();
    }
}

std::int64_t Win32Clock::wait_ms() const {
    if (queue_.empty()) return -1;
    return std::max<std::int64_t>(0, queue_.begin()->first.first - now_ms());
}

void run_timers_until(Win32Clock& clock, const std::function<bool()>& done, const bool& quit) {
    // Sleep's resolution follows the system timer's, 15.6 ms unless asked.
    timeBeginPeriod(1);
    while (!quit && !done()) {
        clock.fire_due();
        if (quit || done()) break;
        std::int64_t wait = clock.wait_ms();
        if (wait < 0 || wait > 2) wait = 2;
        Sleep(static_cast<DWORD>(wait));
    }
    timeEndPeriod(1);
}

}  // namespace vor3::win32
