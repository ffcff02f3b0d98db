#pragma once
#include <functional>
#include <string>

#include "link/serial_port.h"

namespace vor3::link {

// Some RS-485 adapters hear their own transmitter: every request comes back
// ahead of the reply. While `enabled` says so, this port drops that echo
// before the reader sees it. Bytes that begin like the echo are held back
// until they either complete it (and are dropped) or differ from it (and
// are passed on, so an adapter without echo loses nothing).
class EchoFilter : public SerialPort {
public:
    EchoFilter(SerialPort& inner, std::function<bool()> enabled) : inner_(inner), enabled_(std::move(enabled)) {}

    std::vector<std::string> port_list() const override { return inner_.port_list(); }
    int port_number() const override { return inner_.port_number(); }
    void set_port_number(int n) override { inner_.set_port_number(n); }
    void set_settings(const std::string& s) override { inner_.set_settings(s); }
    bool is_open() const override { return inner_.is_open(); }
    void set_open(bool on) override;
    void set_input_mode(int m) override { inner_.set_input_mode(m); }
    void write(std::string_view bytes) override;
    int waiting_count() override { return inner_.waiting_count(); }
    std::string read_all() override;

private:
    SerialPort& inner_;
    std::function<bool()> enabled_;
    std::string echo_;  // the request still to be heard back
    std::size_t heard_ = 0;  // how much of it has come so far (held back)
};

}  // namespace vor3::link
