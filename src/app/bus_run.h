#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli_read.h"
#include "app/cli_write.h"
#include "app/read_report.h"
#include "form/timer.h"
#include "ops/scan.h"

namespace vor3::app {

// One sensor on the line: its address, and the line setting it answers at
// when that is not the one in force.
struct BusTarget {
    int address = 1;
    std::optional<ops::LineSetting> line;
};

// What each sensor of a run gets.
struct BusPlan {
    enum class Job { Read, Save, Write } job = Job::Read;
    std::vector<BusTarget> targets;
    std::string folder;                    // Save: one parameter file per sensor in here
    std::string file;                      // Write: a parameter file...
    std::vector<std::string> assignments;  // ...and NAME=VALUE, as vor3-cli write takes them
    // Write: a parameter file's location id is not written, so every
    // sensor keeps its own (one named NAME=VALUE still is).
    bool keep_location_id = true;
    // When set, the sensors are the ones this search of the line finds
    // first, each at the setting it answered at; `targets` is not used.
    std::optional<ops::ScanPlan> search;
};

// How one sensor came out, from the best to the worst for a script.
enum class SensorOutcome {
    NotDone,  // not reached: the run was stopped first, or the port was lost
    Read,
    Saved,
    Verified,  // written (where anything differed), read back, every value as asked
    Differs,   // written, but the read-back shows another value
    NoAnswer,  // silent, garbled, or the transfer cut short
    Refused,   // the sensor refused a request (a Modbus exception)
    PortFailed,
    ValueRefused,  // a value the window would not take; nothing sent
    NotStored,     // the parameter file could not be written
};

struct SensorResult {
    BusTarget target;
    SensorOutcome outcome = SensorOutcome::NotDone;
    std::string detail;                    // why, in the language in force
    std::vector<ReportLine> before;        // the read
    std::vector<ReportLine> after;         // the read-back of a write
    std::vector<std::string> changes;      // "control\tcaption\told -> new"
    std::vector<std::string> write_state;  // after a write cut short: each value confirmed or not
    std::string file;                      // Save: the file written
    std::string port;                      // in a run over several lines: the line's

    // The location id as read, or "".
    std::string location_id() const;
};

// vor3-cli's exit status for an outcome; over several sensors, the highest.
int exit_status(SensorOutcome outcome);
// A word for scripts ("verified", "no answer"); the same in every language.
const char* outcome_name(SensorOutcome outcome);
// The outcome for people, in the language given.
std::string outcome_text(SensorOutcome outcome, const std::string& language);

// Drives one program over the sensors of a line, one sensor's whole job
// after another, through the same window a user works in: the address
// (and line setting) chosen, "Gerät auslesen" pressed, and for a write
// the values entered, "Werte übernehmen" pressed and the read-back
// checked, exactly as vor3-cli read, save and write do for one sensor. A
// sensor that fails does not stop the others. The program must be started
// with its port open; its messages are kept per sensor while the run goes.
class BusRun {
public:
    BusRun(Program& program, BusPlan plan);
    ~BusRun();
    BusRun(const BusRun&) = delete;
    BusRun& operator=(const BusRun&) = delete;

    void start();
    // Stops after the sensor in progress, so none is left half-written;
    // the ones not reached stay NotDone.
    void stop();

    bool running() const { return running_; }
    const BusPlan& plan() const { return plan_; }
    // The search that runs first, while it runs and after.
    bool searching() const { return scanner_.running(); }
    const ops::Scanner& scanner() const { return scanner_; }
    bool stopping() const { return stopping_; }
    // The sensor under way, or the number of sensors once the run is over.
    std::size_t current() const { return current_; }
    const std::vector<SensorResult>& results() const { return results_; }
    // The highest exit status of all sensors.
    int exit_status() const;

    // After each try of the search, after each sensor (its index), and
    // once the run is over.
    std::function<void()> search_progress;
    std::function<void(std::size_t)> sensor_done;
    std::function<void()> finished;

    // The name of a sensor's parameter file in a saved folder.
    static std::string file_name(int address, const std::string& location_id);

private:
    void searched();
    void tick();
    bool settled() const;
    void begin_sensor();
    void end_sensor(SensorOutcome outcome, std::string detail);
    void finish();
    // The kind of failure the transfer just ended with.
    SensorOutcome failure_kind() const;
    void save_read_sensor(SensorResult& r);

    Program& p_;
    BusPlan plan_;
    CollectedMessages collected_;
    std::vector<SensorResult> results_;
    std::unique_ptr<CliRead> read_;
    std::unique_ptr<CliWrite> write_;
    ops::Scanner scanner_;
    form::Timer watch_;
    std::size_t current_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    bool under_way_ = false;  // the current sensor's job has begun
};

}  // namespace vor3::app
