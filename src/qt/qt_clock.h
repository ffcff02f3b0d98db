#pragma once
#include <cstdint>
#include <memory>
#include <unordered_map>

#include <QElapsedTimer>

#include "form/clock.h"

class QTimer;

namespace vor3::qt {

// The behaviour's clock on the Qt event loop: each form::Timer gets one
// single-shot precise QTimer that is re-armed for every deadline.
class QtClock : public form::Clock {
public:
    QtClock();
    ~QtClock() override;
    QtClock(const QtClock&) = delete;
    QtClock& operator=(const QtClock&) = delete;

    std::int64_t now_ms() const override;
    void arm(form::Timer& timer, std::int64_t due_ms) override;
    void disarm(form::Timer& timer) override;

private:
    QElapsedTimer elapsed_;
    // Entries are only stopped, never erased: a timer is disarmed from
    // inside its own tick, where deleting the QTimer would pull it from
    // under its signal.
    std::unordered_map<form::Timer*, std::unique_ptr<QTimer>> wakeups_;
};

}  // namespace vor3::qt
