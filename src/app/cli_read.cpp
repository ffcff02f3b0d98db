#include "app/cli_read.h"

#include "link/transmit.h"
#include "model/captions.h"
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
    // The window's stored pace is not a script's: the schedule unless asked.
    p_.g.link.pace = o_.answer_paced ? model::Pace::Answer : model::Pace::Schedule;
    f.Combo_Port(6).set_list_index(1);
    return p_.g.link.port_open && messages_.texts.empty();
}

CliRead::Outcome CliRead::start() {
    if (!open()) return Outcome::PortFailed;
    return begin();
}

CliRead::Outcome CliRead::begin() {
    p_.frm_config.cmd_read_device.press();
    return poll();
}

CliRead::Outcome CliRead::poll() { return of_transfer(p_.ctx); }

CliRead::Outcome CliRead::of_transfer(const Context& c) {
    using model::TransferOutcome;
    switch (c.g.transfer.outcome) {
    case TransferOutcome::None:
    case TransferOutcome::Running: return Outcome::Running;
    // Done once no second answer to the last request can come any more.
    case TransferOutcome::Done: return link::line_busy(c) ? Outcome::Running : Outcome::Done;
    case TransferOutcome::PortLost: return Outcome::PortFailed;
    default: return Outcome::NoAnswer;
    }
}

std::string CliRead::failure_text() const {
    if (!messages_.texts.empty()) return messages_.texts.back();
    // A give-up tells no message: the warning line's text says it.
    return model::caption(model::Caption::lbl_desc_16, p_.g.lang.language);
}

int CliRead::exit_status(Outcome o) {
    switch (o) {
    case Outcome::Done: return 0;
    case Outcome::PortFailed: return 2;
    case Outcome::NoAnswer: return 3;  // NOLINT(bugprone-branch-clone): outcomes share a status on purpose
    case Outcome::Running: return 3;
    }
    return 3;
}

}  // namespace vor3::app
