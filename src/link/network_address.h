#pragma once
#include <optional>
#include <string>

#include "form/serial_port.h"

namespace vor3::link {

// How long a network port waits for its connection to be made.
constexpr int kConnectTimeoutMs = 3000;

// A network port as the user names it: "tcp://HOST:PORT" (a transparent
// serial device server) or "modbus-tcp://HOST[:PORT]" (a Modbus TCP
// gateway, port 502 unless given). HOST is a name, an IPv4 address or an
// IPv6 address in brackets ("[fe80::1]").
struct NetworkAddress {
    form::Carrier carrier = form::Carrier::SerialServer;
    std::string host;  // without brackets
    int port = 0;
    bool operator==(const NetworkAddress&) const = default;
};

// The name begins like a network port (the scheme, in any case).
bool names_network_port(const std::string& name);

// The address a name gives; nothing where it names no network port or is
// malformed (no port for tcp://, a port outside 1..65535, an empty host, an
// IPv6 address without brackets, anything after the port).
std::optional<NetworkAddress> parse_network_port(const std::string& name);

}  // namespace vor3::link
