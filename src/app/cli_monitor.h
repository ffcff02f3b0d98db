#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/cli_read.h"
#include "model/reading.h"

namespace vor3::app {

// The cyclic read-out ("Ausgaberegister lesen") driven from the command
// line: one CSV line per reading of the measured values.
class CliMonitor {
public:
    enum class Outcome { Running, Done, PortFailed, NoAnswer };

    // Readings are stamped by the program's wall clock.
    CliMonitor(Program& program, const CollectedMessages& messages, const CliOptions& options);

    static const char* header() { return model::kReadingCsvHeader; }

    // Opens the port and ticks the read-out box. The give-up time counts
    // from here.
    Outcome start();
    // Where it stands; `lines` receives the readings since the last call,
    // `notes` what the user should hear about (the sensor falling silent
    // or answering again, giving up). NoAnswer once no valid reading has
    // come for the give-up time.
    Outcome poll(std::vector<std::string>& lines, std::vector<std::string>& notes);
    // The user interrupted: done if anything was read.
    Outcome stop() const;
    long readings() const { return readings_; }

    static int exit_status(Outcome o);

private:
    Program& p_;
    const CollectedMessages& messages_;
    CliOptions o_;
    std::vector<std::string> pending_;
    long readings_ = 0;
    bool silent_ = false;
    std::int64_t last_valid_ms_ = 0;  // the program's clock at the start or the last reading
};

}  // namespace vor3::app
