#pragma once
#include <stdexcept>
#include <string>

#include "sim/pty_options.h"

// What vor3-sensor-sim does on each platform: one file per platform
// (sim_host_posix.cpp, sim_host_windows.cpp) serves the simulated line.
namespace vor3::sim {

inline constexpr int kBadArguments = 2;
inline constexpr int kFailed = 1;

struct HostFailure : std::runtime_error {
    HostFailure(const std::string& what, int status = kFailed) : std::runtime_error(what), status(status) {}
    int status;
};

// Serves the line the options describe until a stop signal; throws
// HostFailure. Prints the name a client connects to, then serves.
int serve(const PtyOptions& options);

// Milliseconds of a monotonic clock.
double monotonic_ms();

}  // namespace vor3::sim
