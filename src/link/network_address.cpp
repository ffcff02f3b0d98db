#include "link/network_address.h"

#include <algorithm>
#include <charconv>

namespace vor3::link {

namespace {

constexpr int kModbusTcpPort = 502;

struct Scheme {
    const char* prefix;
    form::Carrier carrier;
    int default_port;  // 0: the port must be given
};
constexpr Scheme kSchemes[] = {
    {"tcp://", form::Carrier::SerialServer, 0},
    {"modbus-tcp://", form::Carrier::ModbusTcp, kModbusTcpPort},
};

bool starts_with_folded(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char ch = text[i];
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != prefix[i]) return false;
    }
    return true;
}

const Scheme* scheme_of(const std::string& name) {
    for (const Scheme& s : kSchemes)
        if (starts_with_folded(name, s.prefix)) return &s;
    return nullptr;
}

bool host_character(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '.' ||
           ch == '_';
}

}  // namespace

bool names_network_port(const std::string& name) { return scheme_of(name) != nullptr; }

std::optional<NetworkAddress> parse_network_port(const std::string& name) {
    const Scheme* scheme = scheme_of(name);
    if (!scheme) return std::nullopt;
    const std::string rest = name.substr(std::string(scheme->prefix).size());
    NetworkAddress a;
    a.carrier = scheme->carrier;
    std::size_t after_host = 0;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string::npos) return std::nullopt;
        a.host = rest.substr(1, close - 1);
        // An IPv6 address, perhaps with its zone ("fe80::1%eth0").
        const auto zone = std::min(a.host.find('%'), a.host.size());
        if (a.host.find_first_not_of("0123456789abcdefABCDEF:.") < zone || a.host.find(':') >= zone)
            return std::nullopt;
        for (std::size_t i = zone + 1; i < a.host.size(); ++i)
            if (!host_character(a.host[i])) return std::nullopt;
        after_host = close + 1;
    } else {
        after_host = std::min(rest.find(':'), rest.size());
        a.host = rest.substr(0, after_host);
        for (char ch : a.host)
            if (!host_character(ch)) return std::nullopt;
    }
    if (a.host.empty()) return std::nullopt;
    if (after_host == rest.size()) {
        if (!scheme->default_port) return std::nullopt;
        a.port = scheme->default_port;
        return a;
    }
    if (rest[after_host] != ':') return std::nullopt;
    const char* begin = rest.data() + after_host + 1;
    const char* end = rest.data() + rest.size();
    const auto [stop, error] = std::from_chars(begin, end, a.port);
    if (begin == end || error != std::errc() || stop != end || a.port < 1 || a.port > 65535) return std::nullopt;
    return a;
}

}  // namespace vor3::link
