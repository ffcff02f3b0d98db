#include "form/timer.h"

namespace vor3::form {

Timer::Timer(Clock& clock, std::string name, std::int64_t interval_ms)
    : clock_(clock), name_(std::move(name)), interval_(interval_ms) {}

Timer::~Timer() {
    if (enabled_) clock_.disarm(*this);
}

void Timer::arm_from(std::int64_t base) {
    if (interval_ <= 0) {
        clock_.disarm(*this);
        return;
    }
    next_due_ = base + interval_;
    clock_.arm(*this, next_due_);
}

void Timer::set_enabled(bool on) {
    if (on == enabled_) return;  // a running timer keeps its period
    enabled_ = on;
    if (on)
        arm_from(clock_.now_ms());
    else
        clock_.disarm(*this);
}

void Timer::set_interval(std::int64_t ms) {
    interval_ = ms < 0 ? 0 : ms;
    if (enabled_) arm_from(clock_.now_ms());
}

void Timer::tick_now() {
    if (!enabled_ || interval_ <= 0) return;
    arm_from(clock_.now_ms());
    if (on_tick) on_tick();
}

void Timer::fire() {
    if (!enabled_ || interval_ <= 0) return;
    // Re-arm before the handler runs, so that a handler that stops or
    // restarts the timer has the last word. Ticks that fell behind are
    // dropped rather than delivered in a burst.
    std::int64_t base = next_due_;
    const std::int64_t now = clock_.now_ms();
    if (base + interval_ <= now) base = now;
    arm_from(base);
    if (on_tick) on_tick();
}

}  // namespace vor3::form
