#pragma once
#include "app/cli_options.h"
#include "form/serial_port.h"

namespace vor3::app {

// Passes everything to another port, but opens it with fixed data bits
// whatever the framing mode asks for: ASCII over a link that carries only
// 8 data bits (pseudo-terminals, some gateways).
class DataBitsPort : public form::ForwardingPort {
public:
    DataBitsPort(form::SerialPort& inner, int data_bits) : ForwardingPort(inner), data_bits_(data_bits) {}
    void set_settings(const std::string& s) override { inner_.set_settings(with_data_bits(s, data_bits_)); }

private:
    int data_bits_;
};

}  // namespace vor3::app
