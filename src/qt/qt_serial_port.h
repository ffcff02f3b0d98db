#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QSerialPort>

#include "form/serial_port.h"
#include "qt/network_port.h"

namespace vor3::qt {

// A real serial port. The list offers the system's ports by device path
// with their description ("/dev/ttyUSB0 (FT232R USB UART)"), then the
// devices the user named (a pseudo-terminal, a link under /dev/serial) by
// their path; an explicit device path, once set, is used instead of the
// list. A device that names a network port (tcp://..., modbus-tcp://...)
// opens a connection to it instead. Nothing here waits: written bytes leave through the event loop,
// and reads take what it has already collected.
class QtSerialPort : public form::SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;  // NOLINT(bugprone-exception-escape): closing throws nothing

    std::vector<std::string> port_list() const override;
    int name_port(const std::string& name) override;
    std::string port_name(int number) const override;
    int port_number() const override { return number_; }
    void set_port_number(int number) override;
    void set_settings(const std::string& settings) override;
    bool is_open() const override { return port_.isOpen() || network_.is_open(); }
    void set_open(bool open) override;
    void set_input_mode(int) override {}  // bytes pass unchanged either way
    void write(std::string_view bytes) override;
    int waiting_count() override;
    std::string read_all() override;
    form::Carrier carrier() const override;
    std::int64_t round_trip_ms() const override { return network_.round_trip_ms(); }

    // For the command-line tool: open this device (e.g. "/dev/ttyUSB0")
    // whatever the port number says. An empty path returns to the list.
    void set_device_path(const std::string& path);
    // The device the next open uses; empty when the number names no port.
    std::string device_path() const;

private:
    void apply_settings();
    void fail_if_gone();

    QSerialPort port_;
    NetworkPort network_;
    std::optional<std::string> device_path_;
    // The device paths as last listed, so that a number keeps naming the
    // port the user saw even if another adapter comes and goes.
    mutable std::vector<std::string> listed_;
    std::vector<std::string> named_;  // in the order they were named
    std::string opened_;              // the device of the last open
    int number_ = 0;
    form::SerialSettings settings_;
};

// The port error for a failed open. `accessible`: the device exists and the
// user may read and write it, so a refusal means someone else holds it.
form::PortError open_failure(QSerialPort::SerialPortError error, bool accessible, const std::string& device);

}  // namespace vor3::qt
