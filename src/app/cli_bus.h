#pragma once
#include <string>
#include <vector>

#include "app/bus_run.h"
#include "app/cli_options.h"
#include "ops/scan.h"

// vor3-cli read, save and write with --addresses: what each sensor gets,
// and what the run prints.
namespace vor3::app {

// The job of the command for each of `addresses`, or for each sensor a
// search finds first (--addresses found).
BusPlan bus_plan(const CliOptions& o, const std::vector<int>& addresses);

// What a run prints: the data and the summary per address on standard
// output; with --json or --csv the data alone there, and the summary on
// standard error, so the data stays readable for a program.
struct BusOutput {
    std::string out, err;
};
BusOutput bus_output(const CliOptions& o, const std::vector<SensorResult>& results, const std::string& language,
                     const std::string& decimal_sep);

}  // namespace vor3::app
