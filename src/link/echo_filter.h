#pragma once
#include <functional>
#include <string>

#include "form/serial_port.h"

namespace vor3::link {

// Some RS-485 adapters hear their own transmitter: every request comes back
// ahead of the reply. While `enabled` says so, this port drops that echo
// before the reader sees it. Bytes that begin like the echo are held back
// until they either complete it (and are dropped) or differ from it (and
// are passed on, so an adapter without echo loses nothing).
class EchoFilter : public form::ForwardingPort {
public:
    EchoFilter(form::SerialPort& inner, std::function<bool()> enabled)
        : form::ForwardingPort(inner), enabled_(std::move(enabled)) {}

    void set_open(bool on) override;
    void write(std::string_view bytes) override;
    std::string read_all() override;

private:
    std::function<bool()> enabled_;
    std::string echo_;       // the request still to be heard back
    std::size_t heard_ = 0;  // how much of it has come so far (held back)
};

}  // namespace vor3::link
