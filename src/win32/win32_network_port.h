#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/serial_port.h"
#include "link/network_address.h"

namespace vor3::win32 {

// A port over the network on Winsock: a TCP connection to a serial device
// server (tcp://) or a Modbus TCP gateway (modbus-tcp://); the gateway's
// framing is the business of the port above. Nothing here waits: opening
// starts the connection (a host name is looked up beside the caller), each
// later call sees how far it has come, bytes written meanwhile leave once
// it is made, and a failure (the name unknown, the connection refused or
// not answered within the connect time-out, the host unreachable, the
// connection closed) is thrown by the next call, once. After a connection
// is lost, the next write connects again. It never listens. The connect
// time-out runs on the steady clock, as the connection itself is real.
class Win32NetworkPort : public form::SerialPort {
public:
    Win32NetworkPort();
    ~Win32NetworkPort() override;
    Win32NetworkPort(const Win32NetworkPort&) = delete;
    Win32NetworkPort& operator=(const Win32NetworkPort&) = delete;

    // The port the next open connects to, as the user named it; throws
    // PortError(kPortInvalid) for a name that is no network port.
    void set_name(const std::string& name);
    const std::string& name() const { return name_; }

    std::vector<std::string> port_list() const override { return {name_}; }
    int port_number() const override { return 1; }
    void set_port_number(int) override {}
    // Checked, then kept for nothing: the serial side is the server's.
    void set_settings(const std::string& settings) override { form::parse_settings(settings); }
    bool is_open() const override { return state_ != State::Closed; }
    void set_open(bool open) override;
    void set_input_mode(int) override {}
    void write(std::string_view bytes) override;
    int waiting_count() override;
    std::string read_all() override;
    form::Carrier carrier() const override { return address_.carrier; }
    std::int64_t round_trip_ms() const override { return round_trip_ms_; }

    struct Lookup;  // a host name being looked up

private:
    enum class State { Closed, LookingUp, Connecting, Connected, Failed, Lost };
    void connect_to_host();
    // Advances the connection being made, sends what waits, and takes what
    // has arrived.
    void progress();
    void connect_next_address();
    void connected();
    void flush();
    void receive();
    // The connection failed or was lost: told by the next call.
    void failed(int number, const std::string& why);
    void throw_pending();
    void close_socket();

    std::string name_;
    link::NetworkAddress address_;
    State state_ = State::Closed;
    bool winsock_ = false;  // WSAStartup succeeded (Winsock counts the calls)
    std::shared_ptr<Lookup> lookup_;
    std::size_t next_address_ = 0;
    std::uintptr_t socket_;
    int last_error_ = 0;                                // of the last address tried
    std::chrono::steady_clock::time_point started_;     // the open, for the time-out
    std::chrono::steady_clock::time_point connecting_;  // this address's request
    std::string unsent_;    // written while the connection is made, or not yet taken by the socket
    std::string received_;  // read, not yet taken
    std::optional<form::PortError> pending_;
    std::int64_t round_trip_ms_ = -1;
};

}  // namespace vor3::win32
