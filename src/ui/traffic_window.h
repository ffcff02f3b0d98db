#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "form/context.h"
#include "form/frm_traffic.h"
#include "link/traffic.h"

namespace vor3::ui {

// "Verkehr": the traffic window's behaviour over the program's traffic
// record. Closing the window leaves the record running.
class TrafficWindow {
public:
    TrafficWindow(Context& c, form::FrmTraffic& window, link::TrafficRecord& record);
    TrafficWindow(const TrafficWindow&) = delete;
    TrafficWindow& operator=(const TrafficWindow&) = delete;

    void load();
    void unload();
    void pause();  // pauses, or goes on when paused
    void clear();
    // Asks for a file and writes every line held, whole or not at all.
    void save();
    // The count label, for the view to call as lines come.
    void show_count();

    const link::TrafficRecord& record() const { return record_; }
    // A line as the window shows and saves it, at the clock time of the
    // frame with milliseconds, as the trend has it.
    std::string line(const link::TrafficEntry& e) const;

private:
    std::string clock_time(std::int64_t at_ms) const;

    // The wall clock's time of day and the program's clock, read together
    // once: the lines keep their order and spacing whatever the wall clock
    // does later.
    struct Reference {
        std::int64_t day_ms;  // -1: the wall clock tells no time
        std::int64_t clock_ms;
    };
    Context& c_;
    form::FrmTraffic& w_;
    link::TrafficRecord& record_;
    mutable std::optional<Reference> reference_;
};

}  // namespace vor3::ui
