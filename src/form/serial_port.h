#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vor3::form {

// Error numbers a port reports; the window shows them after
// "COM-Port not available, ".
enum PortErrorNumber : int {
    kPortInvalid = 8002,  // no such port
    kPortInUse = 8005,    // busy or access refused
    kPortSettingsRefused = 8015,
    kPortNotOpen = 8018,
    kPortIoFailed = 8020,  // a write or read failed: the port is gone
    // A network port: a connection that cannot be made...
    kHostNotFound = 8030,       // the name is not known
    kConnectionRefused = 8031,  // nothing takes connections at that port
    kConnectTimedOut = 8032,    // no answer within the connect time-out
    kHostUnreachable = 8033,    // no way to the host
    // ...and one the gateway closed while a transfer was under way; the
    // next request connects again.
    kConnectionClosed = 8034,
};

// A connection to a network port could not be made (as opposed to one lost).
constexpr bool connection_not_made(int number) { return number >= kHostNotFound && number <= kHostUnreachable; }

// What carries the bytes of a port.
enum class Carrier {
    SerialLine,    // a serial port
    SerialServer,  // tcp://: a transparent serial device server
    ModbusTcp,     // modbus-tcp://: a gateway that takes Modbus TCP
};

struct PortError : std::runtime_error {
    PortError(int number, const std::string& what, bool permission = false, std::string device = {})
        : std::runtime_error(what), number(number), permission(permission), device(std::move(device)) {}
    int number;
    bool permission;     // the user lacks the right to open the device
    std::string device;  // the device's path, where one is known
};

// The serial port as the behaviour uses it, and no more. Failures throw
// PortError.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The ports to offer, in list order; port number = position + 1.
    virtual std::vector<std::string> port_list() const = 0;
    // A port the user names rather than picks (a device path typed into the
    // list, or one used at an earlier start): it joins the list after the
    // system's ports. Returns its number in the list port_list() now gives,
    // 0 where this port takes no names.
    virtual int name_port(const std::string& /*name*/) { return 0; }
    // The name that finds entry `number` of the list last given again
    // through name_port, for keeping it across starts; "" where none does.
    virtual std::string port_name(int /*number*/) const { return {}; }

    virtual int port_number() const = 0;
    virtual void set_port_number(int number) = 0;
    // The settings string, for example "9600,E,8,1".
    virtual void set_settings(const std::string& settings) = 0;
    virtual bool is_open() const = 0;
    virtual void set_open(bool open) = 0;
    // 0 = text, 1 = binary. On this platform both pass bytes unchanged.
    virtual void set_input_mode(int mode) = 0;
    virtual void write(std::string_view bytes) = 0;
    virtual int waiting_count() = 0;
    virtual std::string read_all() = 0;

    // What carries the bytes of the port chosen, known before it opens.
    virtual Carrier carrier() const { return Carrier::SerialLine; }
    // The round trip to a network port as measured when it connected; -1
    // where none is known (a serial port, or not connected yet).
    virtual std::int64_t round_trip_ms() const { return -1; }
};

// A port that hands every call to another; ports that change or watch what
// passes override only what they change.
class ForwardingPort : public SerialPort {
public:
    explicit ForwardingPort(SerialPort& inner) : inner_(inner) {}
    std::vector<std::string> port_list() const override { return inner_.port_list(); }
    int name_port(const std::string& name) override { return inner_.name_port(name); }
    std::string port_name(int number) const override { return inner_.port_name(number); }
    int port_number() const override { return inner_.port_number(); }
    void set_port_number(int n) override { inner_.set_port_number(n); }
    void set_settings(const std::string& s) override { inner_.set_settings(s); }
    bool is_open() const override { return inner_.is_open(); }
    void set_open(bool on) override { inner_.set_open(on); }
    void set_input_mode(int m) override { inner_.set_input_mode(m); }
    void write(std::string_view bytes) override { inner_.write(bytes); }
    int waiting_count() override { return inner_.waiting_count(); }
    std::string read_all() override { return inner_.read_all(); }
    Carrier carrier() const override { return inner_.carrier(); }
    std::int64_t round_trip_ms() const override { return inner_.round_trip_ms(); }

protected:
    SerialPort& inner_;
};

struct SerialSettings {
    int baud = 9600;
    char parity = 'E';  // N, E, O
    int data_bits = 8;
    int stop_bits = 1;
};

// Parses "9600,E,8,1"; throws PortError(kPortSettingsRefused) when malformed.
SerialSettings parse_settings(const std::string& settings);

}  // namespace vor3::form
