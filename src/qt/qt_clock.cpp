#include "qt/qt_clock.h"

#include <algorithm>

#include <QTimer>

#include "form/timer.h"

namespace vor3::qt {

QtClock::QtClock() { elapsed_.start(); }

QtClock::~QtClock() = default;

std::int64_t QtClock::now_ms() const { return elapsed_.elapsed(); }

void QtClock::arm(form::Timer& timer, std::int64_t due_ms) {
    auto& slot = wakeups_[&timer];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        slot->setSingleShot(true);
        slot->setTimerType(Qt::PreciseTimer);
        form::Timer* t = &timer;
        QObject::connect(slot.get(), &QTimer::timeout, slot.get(), [t] { t->fire(); });
    }
    const std::int64_t wait = std::clamp<std::int64_t>(due_ms - now_ms(), 0, std::int64_t{1} << 30);
    slot->start(static_cast<int>(wait));
}

void QtClock::disarm(form::Timer& timer) {
    auto it = wakeups_.find(&timer);
    if (it != wakeups_.end()) it->second->stop();
}

}  // namespace vor3::qt
