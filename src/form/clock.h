#pragma once
#include <cstdint>

namespace vor3::form {

class Timer;

// Time as the behaviour sees it, in milliseconds since an arbitrary origin.
// The virtual clock drives tests; the Qt adapter drives the running program.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t now_ms() const = 0;
    // Calls timer.fire() once at (or as soon as possible after) due_ms.
    // A timer has at most one pending wake-up; arming it again replaces it.
    virtual void arm(Timer& timer, std::int64_t due_ms) = 0;
    virtual void disarm(Timer& timer) = 0;
};

}  // namespace vor3::form
