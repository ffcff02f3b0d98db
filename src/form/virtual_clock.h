#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "form/clock.h"

namespace vor3::form {

// A clock for tests: time moves only when told, and due ticks fire in time
// order (ties in the order they were armed).
class VirtualClock : public Clock {
public:
    std::int64_t now_ms() const override { return now_; }
    void arm(Timer& timer, std::int64_t due_ms) override;
    void disarm(Timer& timer) override;

    // Moves time forward by ms, firing every tick that falls due on the way.
    void advance(std::int64_t ms);
    // Advances until pred() holds or limit_ms have passed; true if it held.
    bool run_until(const std::function<bool()>& pred, std::int64_t limit_ms);
    // Fires ticks up to and including the next deadline, if any is due by
    // `until`; returns false when nothing was due.
    bool step(std::int64_t until);

private:
    using Key = std::pair<std::int64_t, std::uint64_t>;  // due, arming order
    std::int64_t now_ = 0;
    std::uint64_t seq_ = 0;
    std::map<Key, Timer*> queue_;
    std::map<Timer*, Key> armed_;
};

}  // namespace vor3::form
