// vor3-sensor-sim: the simulated room sensor on a pseudo-terminal, so the
// configuration program (or any Modbus master) can talk to it like to a
// sensor on a serial adapter; or on a TCP port of the loopback address, as
// behind a serial device server or a Modbus TCP gateway.
#include <chrono>
#include <iostream>

#include "sim/sim_host.h"

double vor3::sim::monotonic_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

int main(int argc, char** argv) {
    using namespace vor3::sim;
    PtyOptions options;
    try {
        options = parse_pty_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "vor3-sensor-sim: " << e.what() << " (see --help)\n";
        return kBadArguments;
    }
    if (options.help) {
        std::cout << pty_usage();
        return 0;
    }
    try {
        return serve(options);
    } catch (const HostFailure& e) {
        std::cerr << "vor3-sensor-sim: " << e.what() << '\n';
        return e.status;
    }
}
