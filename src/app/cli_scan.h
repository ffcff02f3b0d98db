#pragma once
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "ops/scan.h"

namespace vor3::app {

// What vor3-cli scan tries: the framing, baud rate and parity given, or all
// of each; every address 1 to 63.
ops::ScanPlan scan_plan(const CliOptions& o);

// One line per find, as the link options that reach it
// ("--mode ascii --baud 19200 --parity O --address 37").
std::string format_finds(const std::vector<ops::ScanFind>& finds);
// The same as one JSON array.
std::string format_finds_json(const std::vector<ops::ScanFind>& finds);
// A warning for each find where two different answers came from one
// address: the lines above stay link options a script can use.
std::vector<std::string> conflict_notes(const std::vector<ops::ScanFind>& finds, const std::string& language);

}  // namespace vor3::app
