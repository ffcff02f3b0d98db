#include "app/switching_port.h"

namespace vor3::app {

SwitchingPort::SwitchingPort(form::SerialPort& real, form::SerialPort& simulator)
    : real_(real), simulator_(simulator) {}

std::vector<std::string> SwitchingPort::port_list() const {
    auto list = real_.port_list();
    real_count_ = static_cast<int>(list.size());
    list.push_back(entry_());
    return list;
}

int SwitchingPort::name_port(const std::string& name) {
    if (name == kSimulatorName || name == entry_()) return simulator_number();
    const int number = real_.name_port(name);
    // A new name joins the real ports at the end of the list last given.
    if (number > real_count_) real_count_ = number;
    return number;
}

std::string SwitchingPort::port_name(int number) const {
    if (number == simulator_number()) return kSimulatorName;
    return real_.port_name(number);
}

int SwitchingPort::simulator_number() const {
    if (real_count_ < 0) port_list();
    return real_count_ + 1;
}

void SwitchingPort::set_port_number(int number) {
    if (number == number_) return;
    set_open(false);
    number_ = number;
    // The real port knows what the number names (a network port, say)
    // before it opens.
    if (number_ >= 1 && number_ < simulator_number()) real_.set_port_number(number_);
}

void SwitchingPort::set_settings(const std::string& settings) {
    // Both hold the settings, so whichever opens next uses them.
    real_.set_settings(settings);
    simulator_.set_settings(settings);
}

bool SwitchingPort::is_open() const { return open_ && open_->is_open(); }

void SwitchingPort::set_open(bool open) {
    if (!open) {
        if (open_) open_->set_open(false);
        open_ = nullptr;
        return;
    }
    if (is_open()) return;
    const int sim = simulator_number();
    if (number_ < 1 || number_ > sim)
        throw form::PortError(form::kPortInvalid, "no port number " + std::to_string(number_));
    form::SerialPort& target = number_ == sim ? simulator_ : real_;
    if (&target == &real_) real_.set_port_number(number_);
    target.set_open(true);
    open_ = &target;
}

void SwitchingPort::set_input_mode(int mode) {
    real_.set_input_mode(mode);
    simulator_.set_input_mode(mode);
}

void SwitchingPort::write(std::string_view bytes) {
    if (!open_) throw form::PortError(form::kPortNotOpen, "port not open");
    open_->write(bytes);
}

int SwitchingPort::waiting_count() { return open_ ? open_->waiting_count() : 0; }

std::string SwitchingPort::read_all() { return open_ ? open_->read_all() : std::string(); }

form::Carrier SwitchingPort::carrier() const {
    if (open_) return open_->carrier();
    // The port the next open reaches: the simulator is on a line.
    if (number_ < 1 || number_ == simulator_number() || real_.port_number() != number_)
        return form::Carrier::SerialLine;
    return real_.carrier();
}

}  // namespace vor3::app
