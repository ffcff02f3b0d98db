#pragma once
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/framing.h"

namespace vor3::sim {

struct PtyOptions {
    Framing framing = Framing::Rtu;
    std::vector<int> addresses = {1};  // one sensor at each, on the one line
    int baud = 9600;
    std::string link;  // empty: no symbolic link
    // A TCP port on the loopback address to serve instead of a
    // pseudo-terminal (0: any free one); -1: a pseudo-terminal.
    int tcp_port = -1;
    // Over TCP, requests and replies carry MBAP headers instead of a serial
    // framing, as from a Modbus TCP gateway.
    bool modbus_tcp = false;
    Faults faults;
    bool help = false;
};

// The command line of vor3-sensor-sim without the program name, as
// "--name value" or "--name=value". Throws std::invalid_argument with a
// one-line message when an argument is unknown, missing or out of range.
PtyOptions parse_pty_options(const std::vector<std::string>& args);

// The fault switches alone (as vor3-sensor-sim reads them on standard input
// while it runs): the faults they describe, starting from none.
Faults parse_fault_options(const std::vector<std::string>& args);

// A line of fault switches on standard input: "--address LIST" first puts
// them on those sensors alone, else they go to every sensor on the line.
struct FaultLine {
    std::vector<int> addresses;  // empty: every sensor
    Faults faults;
};
FaultLine parse_fault_line(std::vector<std::string> words);

std::string pty_usage();

}  // namespace vor3::sim
