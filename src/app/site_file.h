#pragma once
#include <string>
#include <vector>

#include "app/bus_run.h"
#include "app/cli_options.h"

// The lines of a site: each named by a line text, the port followed by its
// settings as key=value words named as the link options are
// ("/dev/ttyUSB0 baud=19200 parity=E addresses=1-30"), given with --line
// or one a row in a site file.
namespace vor3::app {

// A line text and where it was given, for the message about a bad one.
struct LineText {
    std::string text;
    std::string where;  // "--line '...'" or "site.txt row 4"
};

// One line of a run over several: the command's options with the line's
// own port and settings, and the sensors on it.
struct SiteLine {
    CliOptions options;
    // Empty with addresses=found. Rows that name one port join on one
    // line, each sensor at its own row's setting.
    std::vector<BusTarget> targets;
    // How reports name the line: its port, and where several lines are
    // simulated, "sim#2" for the second.
    std::string name;
};

// The line texts of a site file's text, each with its row number: blank rows
// and comments (from a '#' at the start of a word to the row's end) left
// out.
std::vector<LineText> site_rows(const std::string& text, const std::string& file_name);

// The line texts of --line, then the rows of --site's file. Throws
// std::invalid_argument for a file that cannot be read or names no line.
std::vector<LineText> given_lines(const CliOptions& command);

// The lines the line texts name, each with the command's options where it sets
// none of its own. Throws std::invalid_argument "WHERE: why" for a bad
// line text, a sensor named twice on one port, or rows of one port that cannot
// share it.
std::vector<SiteLine> site_lines(const CliOptions& command, const std::vector<LineText>& texts);

// What a scan of `lines` found, as a site file: a row per line and
// setting with the addresses found at it, and below it a comment row per
// sensor with its location id, device coding and firmware as read (or
// why it could not be read). `results` name their line by its name.
std::string site_inventory(const std::vector<SiteLine>& lines, const std::vector<SensorResult>& results);

}  // namespace vor3::app
