#pragma once
#include <string>
#include <vector>

#include "app/cli_read.h"
#include "app/read_report.h"

namespace vor3::app {

// "Werte übernehmen" driven from the command line: reads the whole device
// as CliRead does, loads a parameter file into the fields as "Parameter
// laden" does (--file), enters each NAME=VALUE into its field as a user
// would, presses the button, waits for the write and its read-back, and
// checks that every value sent reads back as sent and every loaded or
// named field shows the value asked for.
class CliWrite {
public:
    enum class Outcome { Running, Done, Refused, PortFailed, NoAnswer, Differs, Stopped };

    CliWrite(Program& program, const CollectedMessages& messages, const CliOptions& options);

    // Why the file or an assignment would not be taken, tried on a window
    // of its own (with the program's language and number format) before
    // anything is sent; empty when all would be.
    static std::vector<std::string> check(const CliOptions& options, const model::PlatformSettings& platform = {});

    Outcome start();
    // The same on a program already started with its port open.
    Outcome begin();
    Outcome poll();
    // Ctrl+C: once the request in flight has had its answer, nothing more
    // is sent and the next poll says Stopped; write_state() then tells
    // which values the sensor confirmed.
    void stop();
    // The sensor keeps its own location id: a parameter file's is not
    // loaded (one named NAME=VALUE still is).
    void keep_location_id() { keep_location_id_ = true; }

    // The fields as read before the write, and as read back after it.
    const std::vector<ReportLine>& before() const { return before_; }
    const std::vector<ReportLine>& after() const { return after_; }
    // Device fields whose value the write changed: "control\tcaption\told -> new".
    std::vector<std::string> changes() const;
    // Values that do not read back as they were sent or asked for:
    // "name\tvalue -> read back".
    const std::vector<std::string>& differences() const { return differences_; }
    std::string failure_text() const;
    // After a write cut short: each loaded or named field, said to be
    // confirmed by the device or not. Empty when nothing was sent.
    std::vector<std::string> write_state() const;

    static int exit_status(Outcome o);

private:
    Outcome after_read(CliRead::Outcome read);
    Outcome enter_and_press();
    Outcome finish();
    Outcome halt();

    Program& p_;
    const CollectedMessages& messages_;
    CliOptions o_;
    CliRead read_;
    enum class Phase { Reading, Writing } phase_ = Phase::Reading;
    std::vector<ReportLine> before_, after_;
    std::vector<std::string> expected_;  // NAME=VALUE the write should leave
    std::vector<std::string> differences_;
    std::string refusal_;
    bool pressed_ = false;
    bool keep_location_id_ = false;
    bool stopping_ = false;
};

}  // namespace vor3::app
