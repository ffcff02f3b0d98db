#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "form/serial_port.h"

namespace vor3::app {

// The port the window works with: the real ports (the system's and those
// the user named), followed by one more entry for a simulated sensor, so
// the program can be tried without a device. Port number N opens real port
// N, or the simulator when N is the entry after the real ones.
class SwitchingPort : public form::SerialPort {
public:
    static constexpr const char* kSimulatorEntry = "Simulierter Sensor (sim)";
    // The simulator's name, in either language, as the command line's
    // --port takes it too.
    static constexpr const char* kSimulatorName = "sim";

    SwitchingPort(form::SerialPort& real, form::SerialPort& simulator);

    // The simulator's entry in the language in force when the list is made.
    void set_simulator_entry(std::function<std::string()> entry) { entry_ = std::move(entry); }

    std::vector<std::string> port_list() const override;
    // Names go to the real port, except the simulator's.
    int name_port(const std::string& name) override;
    std::string port_name(int number) const override;
    int port_number() const override { return number_; }
    void set_port_number(int number) override;
    void set_settings(const std::string& settings) override;
    bool is_open() const override;
    void set_open(bool open) override;
    void set_input_mode(int mode) override;
    void write(std::string_view bytes) override;
    int waiting_count() override;
    std::string read_all() override;
    form::Carrier carrier() const override;
    std::int64_t round_trip_ms() const override { return open_ ? open_->round_trip_ms() : -1; }

    // The simulator's number in the list last shown.
    int simulator_number() const;

private:
    form::SerialPort& real_;
    form::SerialPort& simulator_;
    form::SerialPort* open_ = nullptr;  // whichever of the two is open
    // Real ports in the list last shown; numbers refer to that list.
    mutable int real_count_ = -1;
    int number_ = 0;
    std::function<std::string()> entry_ = [] { return std::string(kSimulatorEntry); };
};

}  // namespace vor3::app
