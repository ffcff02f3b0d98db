#include "app/cli_read.h"

#include "link/transmit.h"
#include "model/line_settings.h"

namespace vor3::app {

CliRead::CliRead(Program& program, const CollectedMessages& messages, const CliOptions& options)
    : p_(program), messages_(messages), o_(options) {}

bool CliRead::open() {
    auto& f = p_.frm_config;
    p_.Main();
    // The port given is chosen in the list as a typed one would be, so the
    // port kept for the next start is the one used.
    if (!o_.port.empty()) f.Combo_Port(0).enter_text(o_.port);
    // The options are checked already; the window's start-up settings
    // stand where one could not be placed.
    auto or_default = [](int index, int fallback) { return index < 0 ? fallback : index; };
    f.Combo_Port(1).set_list_index(or_default(model::baud_index(o_.baud), model::baud_index("9600")));
    f.Combo_Port(2).set_list_index(or_default(model::parity_index(o_.parity), model::parity_index('E')));
    f.Combo_Port(5).set_list_index(or_default(model::mode_index(o_.mode), model::mode_index(model::Framing::Rtu)));
    f.txt_Modbus_adress.set_text(std::to_string(o_.address));
    // For this run only: the user's stored choice stays as it is.
    if (o_.echo) p_.g.link.suppress_echo = true;
    f.Combo_Port(6).set_list_index(1);
    return p_.g.link.port_open && messages_.texts.empty();
}

CliRead::Outcome CliRead::start() {
    if (!open()) return Outcome::PortFailed;
    return begin();
}

CliRead::Outcome CliRead::begin() {
    window_seen_ = false;
    p_.frm_config.cmd_read_device.press();
    return poll();
}

CliRead::Outcome CliRead::poll() {
    if (!messages_.texts.empty()) {
        // A port that failed under the transfer closes the link.
        return p_.g.link.port_open ? Outcome::NoAnswer : Outcome::PortFailed;
    }
    if (p_.frm_config.warning_line().visible()) return Outcome::NoAnswer;
    if (p_.frmState.loaded()) window_seen_ = true;
    // Done once no second answer to the last request can come any more.
    if (window_seen_ && !p_.frmState.loaded() && p_.g.transfer.request_kind == model::kIdle && !link::line_busy(p_.ctx))
        return Outcome::Done;
    return Outcome::Running;
}

std::string CliRead::failure_text() const {
    if (!messages_.texts.empty()) return messages_.texts.back();
    return p_.frm_config.warning_line().caption();
}

int CliRead::exit_status(Outcome o) {
    switch (o) {
    case Outcome::Done: return 0;
    case Outcome::PortFailed: return 2;
    case Outcome::NoAnswer: return 3;
    case Outcome::Running: return 3;
    }
    return 3;
}

}  // namespace vor3::app
