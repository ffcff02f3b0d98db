#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/bus_run.h"
#include "app/cli_read.h"
#include "form/frm_bus.h"
#include "form/timer.h"
#include "model/reading.h"

namespace vor3::app {

// "Bus…": the bus window's behaviour. It works the configuration window
// the way vor3-cli --addresses does, one sensor after another: a search
// of the line reads every sensor found into the list; a selection gets a
// parameter file or the configuration part the main window shows, each
// sensor written, read back and verified; the last run can be saved as a
// CSV report. While the window is open and idle, the cyclic read-out goes
// from one listed sensor to the next, so their measured values stay fresh.
class BusWindow {
public:
    BusWindow(Program& program, form::FrmBus& window);
    ~BusWindow();
    BusWindow(const BusWindow&) = delete;
    BusWindow& operator=(const BusWindow&) = delete;

    void load();
    // Closing the window stops a run after the sensor in progress; once it
    // has ended, a message says what was done.
    void unload();
    void search();
    void write_file();
    void write_shown();
    // "Abbruch": stops after the sensor in progress.
    void abort();
    void save_report();
    // A double click: the sensor's address (and setting) into the main
    // window, which reads it.
    void take(int row);

    bool busy() const { return run_ && run_->running(); }
    // Where the port list offers simulated sensors: puts sensors at these
    // addresses on that line (the window shows the addresses to edit).
    std::function<void(const std::vector<int>&)> set_simulated_addresses;

private:
    struct Sensor {
        BusTarget target;
        form::Grid::Row cells;
        // The state is how the last write on this row came out: the
        // read-out leaves it until the next run on the row.
        bool written = false;
    };
    void start(BusPlan plan, std::vector<std::size_t> rows);
    void sensor_done(std::size_t i);
    void run_ended();
    void show_state();
    bool simulated_port() const;
    std::string text(model::Caption id, std::initializer_list<std::string> args = {}) const;

    void refresh_start();
    void refresh_stop();
    bool refreshable(std::size_t row) const;
    void refresh_ask(std::size_t row);
    // The row asked has answered (Read), or not: on to the next.
    void refresh_next(SensorOutcome outcome);
    void refreshed(const model::MeasuredReading& reading);
    void refresh_watch();

    Program& p_;
    form::FrmBus& w_;
    std::vector<Sensor> sensors_;
    std::unique_ptr<BusRun> run_;
    std::vector<std::size_t> run_rows_;  // the list row of each sensor of the run
    std::vector<SensorResult> last_;     // the last run, for the report
    CollectedMessages refresh_messages_;
    form::Timer refresh_timer_;
    bool refreshing_ = false;
    std::size_t refresh_at_ = 0;
    std::int64_t asked_at_ms_ = 0;
};

}  // namespace vor3::app
