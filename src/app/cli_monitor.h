#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/cli_read.h"

namespace vor3::app {

// The cyclic read-out ("Ausgaberegister lesen") driven from the command
// line: one CSV line per reading of the measured values.
class CliMonitor {
public:
    enum class Outcome { Running, Done, PortFailed, NoAnswer };

    // `now` gives the wall-clock time stamp of a reading as ISO 8601 local
    // time with milliseconds.
    CliMonitor(Program& program, const CollectedMessages& messages, const CliOptions& options,
               std::function<std::string()> now);

    static const char* header() { return "time,temperature_c,humidity_rh,co2_ppm"; }

    // Opens the port and ticks the read-out box.
    Outcome start();
    // Where it stands; `lines` receives the readings since the last call,
    // `notes` what the user should hear about (the sensor falling silent
    // or answering again).
    Outcome poll(std::vector<std::string>& lines, std::vector<std::string>& notes);
    // The user interrupted: done if anything was read.
    Outcome stop() const;
    long readings() const { return readings_; }

    static int exit_status(Outcome o);

private:
    Program& p_;
    const CollectedMessages& messages_;
    CliOptions o_;
    std::function<std::string()> now_;
    std::vector<std::string> pending_;
    long readings_ = 0;
    bool silent_ = false;
};

// The measured values as one CSV line: "." as decimal point whatever the
// window's separator.
std::string csv_reading(const Program& p, const std::string& time);

}  // namespace vor3::app
