#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "form/clock.h"

namespace vor3::win32 {

// The model's clock on Windows: the performance counter for the time, and
// a queue of the timers' deadlines that the event loop works through
// (fire_due), sleeping until the next one is due (wait_ms).
class Win32Clock : public form::Clock {
public:
    Win32Clock();

    std::int64_t now_ms() const override;
    void arm(form::Timer& timer, std::int64_t due_ms) override;
    void disarm(form::Timer& timer) override;

    // Fires every timer due by now, in time order (ties in the order they
    // were armed). A timer armed again while this runs waits for the next
    // call, so a timer of period 0 cannot hold the loop.
    void fire_due();
    // Milliseconds until the next timer is due (0 when one is), -1 when
    // none is armed.
    std::int64_t wait_ms() const;

private:
    using Key = std::pair<std::int64_t, std::uint64_t>;  // due, arming order
    std::int64_t frequency_ = 1;
    std::int64_t origin_ = 0;
    std::uint64_t seq_ = 0;
    std::map<Key, form::Timer*> queue_;
    std::map<form::Timer*, Key> armed_;
};

// Runs `clock`'s timers until `done` holds or `quit` is set, asking `done`
// at least every 2 ms. Timers keep millisecond precision while it runs.
void run_timers_until(Win32Clock& clock, const std::function<bool()>& done, const bool& quit);

}  // namespace vor3::win32
