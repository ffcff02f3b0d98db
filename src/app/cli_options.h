#pragma once
#include <optional>
#include <string>
#include <vector>

#include "model/framing.h"

namespace vor3::app {

// vor3-cli COMMAND --port PORT [--baud B] [--parity N|E|O] [--mode rtu|ascii]
//                   [--data-bits 7|8] [--address 1..63] ...
// read [--json]; write [--file FILE] [NAME=VALUE...]; monitor [--count N] [--give-up S];
// save FILE; scan [--first] [--response-ms MS] [--json]
struct CliOptions {
    std::string command;                   // "read", "write", "monitor", "save" or "scan"
    std::vector<std::string> assignments;  // write: "txt_data_cfg(4)=900"
    std::string file;                      // save, write --file: a parameter file (save --addresses: a folder)
    long count = 0;                        // monitor: readings to print, 0 = until interrupted
    // monitor: seconds without a valid reading before it gives up, 0 = never.
    // Ten seconds outlast a reading at the slowest pace and answer time a
    // sensor can be set to, yet a script on a dead line learns of it soon.
    static constexpr int kGiveUpSeconds = 10;
    std::optional<int> give_up_s;
    std::string port;
    std::string baud = "9600";
    char parity = 'E';
    model::Framing mode = model::Framing::Rtu;
    std::optional<int> data_bits;  // unset: 7 for ASCII, 8 for RTU
    int address = 1;
    bool address_given = false;
    // Which of --baud, --parity and --mode were given: scan tries only
    // those, and every value of the others.
    bool baud_given = false, parity_given = false, mode_given = false;
    bool first = false;    // scan: stop at the first sensor found
    int response_ms = 50;  // scan: the minimum response time each try allows for
    // --addresses LIST: the sensors of a whole line, one after another
    // (read, save, write); "found" (addresses_found) for those a scan at
    // the link settings finds. Empty: the one sensor --address names.
    std::vector<int> addresses;
    bool addresses_found = false;
    // --line line text (each a port and its settings as key=value words) and
    // --site FILE (one line text a row): several lines worked at once, each
    // line's sensors one after another (read, save, write; scan writes
    // what it finds as a site file).
    std::vector<std::string> lines;
    std::string site;
    bool several_lines() const { return !lines.empty() || !site.empty(); }
    bool csv = false;  // read, write: one CSV row per sensor
    bool json = false;
    bool trace = false;  // every frame over the line to standard error
    bool echo = false;   // drop the echo of each request (the adapter hears itself)
    // --pace answer: each request as soon as the answer before is in (read,
    // save, write); the schedule of the window's timers otherwise.
    bool answer_paced = false;
    bool help = false;
};

// Throws std::invalid_argument with a one-line message on bad arguments.
CliOptions parse_cli(const std::vector<std::string>& args);

// Takes one link option (`flag` is "--port", "--baud", "--parity",
// "--mode", "--data-bits", "--address" or "--addresses") into `o`; false
// for any other flag. A bad value throws std::invalid_argument, its
// message led by `name`, as the user wrote the option.
bool link_option(CliOptions& o, const std::string& name, const std::string& flag, const std::string& value);

extern const char* const kCliUsage;

// The settings string with its data bits replaced ("9600,E,7,1" with 8
// gives "9600,E,8,1"); a string of another shape is returned unchanged.
std::string with_data_bits(const std::string& settings, int data_bits);

}  // namespace vor3::app
