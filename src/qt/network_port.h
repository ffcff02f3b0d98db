#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include "form/serial_port.h"
#include "link/network_address.h"

namespace vor3::qt {

// A port over the network: a TCP connection to a serial device server
// (tcp://) or a Modbus TCP gateway (modbus-tcp://); the gateway's framing
// is the business of the port above. Nothing here waits: opening starts
// the connection, bytes written meanwhile leave once it is made, and a
// failure (the name unknown, the connection refused or not answered
// within the connect time-out, the host unreachable, the connection
// closed) is thrown by the next call, once. After a connection is lost,
// the next write connects again. It never listens.
class NetworkPort : public form::SerialPort {
public:
    NetworkPort();
    ~NetworkPort() override;

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

private:
    enum class State { Closed, Connecting, Connected, Failed, Lost };
    void connect_to_host();
    // The connection failed or was lost: told by the next call.
    void failed(int number);
    void throw_pending();

    QTcpSocket socket_;
    QTimer connect_limit_;
    QElapsedTimer connecting_;  // since the connection request left
    std::string name_;
    link::NetworkAddress address_;
    State state_ = State::Closed;
    std::string unsent_;    // written while the connection is being made
    std::string received_;  // read before the connection ended, not yet taken
    std::optional<form::PortError> pending_;
    std::int64_t round_trip_ms_ = -1;
};

}  // namespace vor3::qt
