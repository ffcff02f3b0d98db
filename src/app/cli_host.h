#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/clock.h"
#include "form/platform.h"
#include "form/serial_port.h"
#include "model/globals.h"

namespace vor3::app {

// What the command line needs of the platform it runs on: its words, the
// event loop that drives the model's timers, the clocks, the machine's
// ports and its settings. One implementation per platform (src/qt for
// Linux, src/win32 for Windows); the command line itself is written once.
class CliHost {
public:
    virtual ~CliHost() = default;

    // The words after the program's name, as UTF-8.
    virtual std::vector<std::string> arguments() const = 0;

    virtual form::Clock& clock() = 0;
    virtual form::WallClock& wall_clock() = 0;

    // The machine's serial ports, which also open network ports by name
    // (tcp://..., modbus-tcp://...).
    virtual form::SerialPort& real_port() = 0;
    // Has real_port() open `device` (a system name or path, or a network
    // port) whatever its port number says.
    virtual void use_device(const std::string& device) = 0;
    // Another of the machine's ports, opening `device` whatever its port
    // number says: one for each line of a run over several.
    virtual std::unique_ptr<form::SerialPort> new_port(const std::string& device) = 0;

    // Where the settings are kept (hive files, or the system's registry)
    // and the user's number format.
    virtual model::PlatformSettings platform_settings() const = 0;

    // Runs the platform's events until `done` holds, asking it every 2 ms,
    // so the end of a transfer is noticed without adding to its time.
    virtual void run_until(const std::function<bool()>& done) = 0;
    // Ends run_until at once: the program is ending.
    virtual void quit() = 0;
};

// This platform's host; the program's arguments as main() has them.
std::unique_ptr<CliHost> make_cli_host(int argc, char** argv);

}  // namespace vor3::app
