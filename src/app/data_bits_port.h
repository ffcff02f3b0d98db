#pragma once
#include "app/cli_options.h"
#include "link/serial_port.h"

namespace vor3::app {

// Passes everything to another port, but opens it with fixed data bits
// whatever the framing mode asks for: ASCII over a link that carries only
// 8 data bits (pseudo-terminals, some gateways).
class DataBitsPort : public link::SerialPort {
public:
    DataBitsPort(link::SerialPort& inner, int data_bits) : inner_(inner), data_bits_(data_bits) {}
    std::vector<std::string> port_list() const override { return inner_.port_list(); }
    int port_number() const override { return inner_.port_number(); }
    void set_port_number(int n) override { inner_.set_port_number(n); }
    void set_settings(const std::string& s) override { inner_.set_settings(with_data_bits(s, data_bits_)); }
    bool is_open() const override { return inner_.is_open(); }
    void set_open(bool on) override { inner_.set_open(on); }
    void set_input_mode(int m) override { inner_.set_input_mode(m); }
    void write(std::string_view bytes) override { inner_.write(bytes); }
    int waiting_count() override { return inner_.waiting_count(); }
    std::string read_all() override { return inner_.read_all(); }

private:
    link::SerialPort& inner_;
    int data_bits_;
};

}  // namespace vor3::app
