#pragma once
#include <string>

#include "form/frm_traffic.h"
#include "link/context.h"
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
    void pause();   // pauses, or goes on when paused
    void clear();
    // Asks for a file and writes every line held, whole or not at all.
    void save();
    // The count label, for the view to call as lines come.
    void show_count();

    const link::TrafficRecord& record() const { return record_; }
    std::string line(const link::TrafficEntry& e) const;

private:
    Context& c_;
    form::FrmTraffic& w_;
    link::TrafficRecord& record_;
};

}  // namespace vor3::ui
