#include "form/virtual_clock.h"

#include "form/timer.h"

namespace vor3::form {

void VirtualClock::arm(Timer& timer, std::int64_t due_ms) {
    disarm(timer);
    Key key{due_ms, seq_++};
    queue_[key] = &timer;
    armed_[&timer] = key;
}

void VirtualClock::disarm(Timer& timer) {
    auto it = armed_.find(&timer);
    if (it == armed_.end()) return;
    queue_.erase(it->second);
    armed_.erase(it);
}

bool VirtualClock::step(std::int64_t until) {
    if (queue_.empty() || queue_.begin()->first.first > until) return false;
    auto it = queue_.begin();
    Timer* timer = it->second;
    if (it->first.first > now_) now_ = it->first.first;
    armed_.erase(timer);
    queue_.erase(it);
    timer->fire();
    return true;
}

void VirtualClock::advance(std::int64_t ms) {
    const std::int64_t target = now_ + ms;
    while (step(target)) {
    }
    now_ = target;
}

bool VirtualClock::run_until(const std::function<bool()>& pred, std::int64_t limit_ms) {
    const std::int64_t limit = now_ + limit_ms;
    while (!pred()) {
        if (!step(limit)) {
            now_ = limit;
            return pred();
        }
    }
    return true;
}

}  // namespace vor3::form
