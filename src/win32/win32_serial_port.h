#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/serial_port.h"
#include "win32/win32_network_port.h"

namespace vor3::win32 {

// A real serial port on Windows. The list offers the machine's COM ports by
// number with the adapter's name ("COM3 (USB Serial Port)"), then the ports
// the user named; every spelling of a COM port ("com3", "\\.\COM3") is one
// port, "COM3". An explicit device, once set, is used instead of the list. A
// device that names a network port (tcp://..., modbus-tcp://...) opens a
// connection to it instead. Nothing here waits: a write is handed to the
// driver and finishes while the caller goes on, and a read takes what the
// driver holds already.
class Win32SerialPort : public form::SerialPort {
public:
    Win32SerialPort();
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    std::vector<std::string> port_list() const override;
    int name_port(const std::string& name) override;
    std::string port_name(int number) const override;
    int port_number() const override { return number_; }
    void set_port_number(int number) override;
    void set_settings(const std::string& settings) override;
    bool is_open() const override { return line_ != nullptr || network_.is_open(); }
    void set_open(bool open) override;
    void set_input_mode(int) override {}  // bytes pass unchanged either way
    void write(std::string_view bytes) override;
    int waiting_count() override;
    std::string read_all() override;
    form::Carrier carrier() const override;
    std::int64_t round_trip_ms() const override { return network_.round_trip_ms(); }

    // For the command-line tool: open this device ("COM3", "\\.\COM12",
    // "tcp://...") whatever the port number says. Empty returns to the list.
    void set_device_path(const std::string& path);
    // The device the next open uses; empty when the number names no port.
    std::string device_path() const;

    // The line settings the driver holds, read back from it; nothing while
    // no serial line is open.
    std::optional<form::SerialSettings> line_settings() const;

private:
    struct Line;
    void apply_settings();
    // Throws the failure that ended the line, again on every call until it
    // is closed, as a pulled adapter stays gone.
    void fail_if_gone() const;
    [[noreturn]] void io_failed(unsigned long error, const char* doing);
    // Collects a write the driver has finished and hands it what waits.
    void send_queued();

    std::unique_ptr<Line> line_;
    Win32NetworkPort network_;
    std::optional<std::string> device_path_;
    // The names as last listed, so that a number keeps naming the port the
    // user saw even if another adapter comes and goes.
    mutable std::vector<std::string> listed_;
    std::vector<std::string> named_;  // in the order they were named
    std::string opened_;              // the device of the last open
    std::optional<form::PortError> gone_;
    int number_ = 0;
    form::SerialSettings settings_;
};

// The port error for a failed open of `device` (as the user sees its name)
// with the error number CreateFileW left.
form::PortError open_failure(unsigned long error, const std::string& device);

}  // namespace vor3::win32
