#include "ui/port_settings.h"

#include "link/network_address.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/line_settings.h"
#include "store/registry.h"
#include "ui/change_marking.h"
#include "ui/not_read.h"
#include "ui/status_line.h"
#include "ui/status_window.h"

namespace vor3::ui {

std::string port_error_reason(const form::PortError& e, const std::string& device, const std::string& language) {
    using model::Caption;
    if (e.permission) return model::caption(Caption::msg_port_permission, language);
    if (device.empty()) return {};
    switch (e.number) {
    case form::kPortInvalid: return model::caption(Caption::port_missing, language, {device});
    case form::kPortInUse: return model::caption(Caption::port_busy, language, {device});
    case form::kPortSettingsRefused: return model::caption(Caption::port_settings_refused, language, {device});
    case form::kPortNotOpen: return model::caption(Caption::msg_port_not_open, language);
    case form::kPortIoFailed: return model::caption(Caption::port_gone, language, {device});
    case form::kHostNotFound: return model::caption(Caption::net_host_not_found, language, {device});
    case form::kConnectionRefused: return model::caption(Caption::net_refused, language, {device});
    case form::kConnectTimedOut:
        return model::caption(Caption::net_timed_out, language,
                              {device, std::to_string(link::kConnectTimeoutMs / 1000)});
    case form::kHostUnreachable: return model::caption(Caption::net_unreachable, language, {device});
    case form::kConnectionClosed: return model::caption(Caption::net_closed, language, {device});
    default: return {};
    }
}

void show_port_error(Context& c, const form::PortError& e) {
    // A positive number is printed with a leading blank, as the window has
    // always shown it.
    const std::string number = (e.number >= 0 ? " " : "") + std::to_string(e.number);
    const std::string& language = c.g.lang.language;
    // Below the window's own line: which device, and what went wrong. A
    // port that failed before it knew its device (no such entry) is the
    // one the list shows.
    const std::string device = e.device.empty() ? c.frm.Combo_Port(0).text() : e.device;
    c.msg.show(model::caption(model::Caption::msg_port_not_available, language) + number,
               port_error_reason(e, device, language));
}

void Combo_Port_Click(Context& c, int /*index*/) {
    auto& f = c.frm;
    auto& link = c.g.link;
    auto& t = c.g.transfer;
    const model::LinkSettings was = link;

    link.com_port = f.Combo_Port(0).list_index() + 1;
    const int baud = f.Combo_Port(1).list_index();
    if (baud >= 0 && baud < std::ssize(model::kBaudRates))
        link.baud_rate = model::kBaudRates[static_cast<std::size_t>(baud)];
    const int parity = f.Combo_Port(2).list_index();
    if (parity >= 0 && parity < std::ssize(model::kParities))
        link.parity = std::string(1, model::kParities[static_cast<std::size_t>(parity)].letter);
    link.stop_bits = "1";
    const int mode = f.Combo_Port(5).list_index();
    if (mode >= 0 && mode < std::ssize(model::kModes)) {
        const model::ModeRow& row = model::kModes[static_cast<std::size_t>(mode)];
        link.protocol_mode = row.framing;
        link.data_bits = row.data_bits;
        c.port.set_input_mode(row.input_mode);
        f.Timer4.set_interval(row.poll_ms);
        f.Timer3.set_interval(row.give_up_ms);
        link.give_up_ms = row.give_up_ms;
    }
    if (f.Combo_Port(6).list_index() >= 0) link.port_open = f.Combo_Port(6).list_index() != 0;

    const bool lists_enabled = !link.port_open;
    for (int i : {0, 1, 2, 5}) f.Combo_Port(i).set_enabled(lists_enabled);
    if (!link.port_open) link::reset_transfer(c);
    f.txt_Modbus_adress.set_enabled(true);

    try {
        if (c.port.port_number() != link.com_port) {
            if (c.port.is_open()) c.port.set_open(false);
            c.port.set_port_number(link.com_port);
        }
        c.port.set_settings(link.settings_string());
        if (c.port.is_open() != link.port_open) {
            c.port.set_open(link.port_open);
            // Another sensor may answer now; until one is read, allow for
            // the slowest.
            t.min_response_ms = -1;
            if (link.port_open) note_sensor_line(c);
            if (link.port_open) clear_line_counts(c);
        }
        if (c.port.is_open()) {
            f.chk_read_out.set_enabled(true);
            UpdateApplyButton(c, MarkGroup::All);
            f.read_out_parameter.set_enabled(true);
            f.Timer4.start();
            f.cmd_read_device.set_enabled(true);
            ResetUnitCombo(c);
        } else {
            f.read_out_parameter.set_enabled(false);
            f.set_parameter.set_enabled(false);
            f.chk_read_out.set_enabled(false);
            f.cmd_read_device.set_enabled(false);
            f.Timer4.stop();
            t.bus_ready = true;
            f.chk_read_out.set_value(0);
        }
    } catch (const form::PortError& e) {
        show_port_error(c, e);
        f.Combo_Port(6).set_list_index(0);
        link.port_open = false;
    }
    // A warning about the line as it was says nothing about another one;
    // closing and opening it again changes nothing on the line.
    if (link.com_port != was.com_port || link.settings_string() != was.settings_string() ||
        link.protocol_mode != was.protocol_mode)
        hide_stale_warning(c);
    show_status_line(c);
}

void hide_stale_warning(Context& c) {
    clear_read_cancelled(c);
    c.frm.warning_line().set_visible(false);
}

void port_failed(Context& c, const form::PortError& e) {
    auto& f = c.frm;
    const bool running = c.state.loaded() || f.Timer1.enabled() || f.Timer6.enabled() || link::line_busy(c);
    if (e.number == form::kConnectionClosed) {
        // The gateway may close a connection left idle; the next request
        // connects again. Under a transfer it is told, and the transfer
        // ends as on a refusal, the port staying open.
        if (!running) return;
        f.chk_read_out.set_value(0);
        link::give_up(c, model::TransferOutcome::ConnectionLost);
        show_port_error(c, e);
        return;
    }
    show_port_error(c, e);
    // Shut the dead port before the lists go back to "close": the port
    // settings routine applies the settings to a port still open, which a
    // port that is gone refuses, and that message would hide this one.
    // Closing cannot fail in a way worth a second message.
    try {
        c.port.set_open(false);
    } catch (const form::PortError&) {
    }
    // A transfer that was running cannot finish: end its status window
    // without the re-read that follows a write.
    tell_write_ended(c, false);
    abandon_status_window(c);
    link::transfer_ended(c, model::TransferOutcome::PortLost);
    if (f.Combo_Port(6).list_index() != 0)
        f.Combo_Port(6).set_list_index(0);
    else
        Combo_Port_Click(c, 6);
    c.g.link.port_open = false;
    // Unlike the user closing the port, this cut a transfer short.
    clear_read_cancelled(c);
    if (running) f.warning_line().set_visible(true);
}

namespace {

// A choice of the user's kept for the next start; a failure to keep it is
// told, the choice holding for this run all the same.
void store_choice(Context& c, const char* name, const std::string& value) {
    store::CRegistry hive = store::platform_registry(c.g.platform);
    if (hive.Werte(store::kProductKey, name) == value) return;
    hive.Werte(store::kProductKey, name, value);
    if (hive.error_number() != 0)
        c.msg.show(model::caption(model::Caption::msg_setting_not_stored, c.g.lang.language,
                                  {hive.error_text(c.g.lang.language)}));
}

}  // namespace

void chk_echo_Click(Context& c) {
    const bool on = c.frm.chk_echo.value() == 1;
    c.g.link.suppress_echo = on;
    store_choice(c, kEchoValue, on ? "1" : "0");
}

void chk_pace_Click(Context& c) {
    const bool on = c.frm.chk_pace.value() == 1;
    c.g.link.pace = on ? model::Pace::Answer : model::Pace::Schedule;
    store_choice(c, kPaceValue, on ? "answer" : "schedule");
}

void load_echo_setting(Context& c) {
    const store::CRegistry hive = store::platform_registry(c.g.platform);
    c.frm.chk_echo.set_value(hive.Werte(store::kProductKey, kEchoValue) == "1" ? 1 : 0);
    c.frm.chk_pace.set_value(hive.Werte(store::kProductKey, kPaceValue) == "answer" ? 1 : 0);
}

}  // namespace vor3::ui
