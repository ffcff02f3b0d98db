// The command line's platform on Windows: a timer loop on the performance
// counter, Win32 COM ports and Winsock.
#include <windows.h>

#include <shellapi.h>

#include "app/cli_host.h"
#include "win32/platform_settings_win32.h"
#include "win32/port_text.h"
#include "win32/wall_clock.h"
#include "win32/win32_clock.h"
#include "win32/win32_serial_port.h"

namespace vor3::win32 {

namespace {

// The command line as the user typed it, whatever the ANSI code page is.
std::vector<std::string> words() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i) out.push_back(port_text::narrow(argv[i]));
    LocalFree(argv);
    return out;
}

class Win32CliHost : public app::CliHost {
public:
    Win32CliHost() {
        // What the program prints is UTF-8; a console shows it as such.
        SetConsoleOutputCP(CP_UTF8);
    }

    std::vector<std::string> arguments() const override { return words(); }
    form::Clock& clock() override { return clock_; }
    form::WallClock& wall_clock() override { return wall_clock_; }
    form::SerialPort& real_port() override { return port_; }
    void use_device(const std::string& device) override { port_.set_device_path(device); }
    std::unique_ptr<form::SerialPort> new_port(const std::string& device) override {
        auto port = std::make_unique<Win32SerialPort>();
        port->set_device_path(device);
        return port;
    }
    model::PlatformSettings platform_settings() const override { return win32::platform_settings(); }

    void run_until(const std::function<bool()>& done) override {
        quit_ = false;
        run_timers_until(clock_, done, quit_);
    }
    void quit() override { quit_ = true; }

private:
    Win32Clock clock_;
    Win32WallClock wall_clock_;
    Win32SerialPort port_;
    bool quit_ = false;
};

}  // namespace

}  // namespace vor3::win32

std::unique_ptr<vor3::app::CliHost> vor3::app::make_cli_host(int, char**) {
    return std::make_unique<win32::Win32CliHost>();
}
