#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "form/clock.h"

namespace vor3::form {

// A periodic tick on the user-interface thread. Starting a running timer
// keeps its period; stopping and starting begins a new one; a new interval
// on a running timer restarts it. Intervals are whole milliseconds of any
// size; an interval of 0 never ticks.
class Timer {
public:
    Timer(Clock& clock, std::string name, std::int64_t interval_ms);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    std::int64_t interval() const { return interval_; }
    std::int64_t next_due() const { return next_due_; }

    void set_enabled(bool on);
    void start() { set_enabled(true); }
    void stop() { set_enabled(false); }
    void set_interval(std::int64_t ms);
    // Ticks at once, as if its deadline had come: the handler runs and the
    // next period begins from now. A stopped timer does not tick.
    void tick_now();

    // Called by the clock when the armed deadline has come.
    void fire();

    std::function<void()> on_tick;

private:
    void arm_from(std::int64_t base);

    Clock& clock_;
    std::string name_;
    std::int64_t interval_;
    bool enabled_ = false;
    std::int64_t next_due_ = 0;
};

}  // namespace vor3::form
