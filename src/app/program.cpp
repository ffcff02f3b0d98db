#include "app/program.h"

#include "app/bus_window.h"
#include "link/answers.h"
#include "model/captions.h"
#include "ui/config_window.h"
#include "ui/status_line.h"

namespace vor3::app {

Program::Program(form::SerialPort& port, form::MessageBox& msg, form::ConfirmDialog& confirm, form::Clock& clock)
    : frm_config(clock),
      frmState(clock),
      messages_(msg),
      // The traffic is recorded nearest the line, echo and all (and, to a
      // Modbus TCP gateway, as the network carries it); the reader sees
      // what is left once an echo is dropped.
      traffic_port_(port, clock, traffic, [this] { return std::string(model::framing_name(g.link.protocol_mode)); }),
      gateway_port_(
          traffic_port_,
          [this](link::ModbusTcpPort::Drop why) {
              note(why == link::ModbusTcpPort::Drop::Transaction ? link::TrafficEntry::Kind::WrongTransaction
                                                                 : link::TrafficEntry::Kind::WrongHeader);
          },
          [this] { return g.line.repeating; }),
      echo_filter_(gateway_port_, [this] { return g.link.suppress_echo; }),
      ctx{g,  frm_config, frmState, echo_filter_, messages_, confirm, clock,  {},    {},
          {}, {},         {},       fAbout,       &none_,    &none_,  &none_, &none_},
      scan_window(ctx, frmScan),
      traffic_window(ctx, frmTraffic, traffic),
      trend_window(ctx, frmTrend),
      register_window(ctx, frmRegisters, none_) {
    ctx.events = &window_events_;
    ui::attach_handlers(ctx);
    // The traffic reads each reply in the layout of the request it answers.
    traffic_port_.request_of_reply = [this](std::string_view adu) { return link::request_answered_by(ctx, adu); };
    traffic_port_.on_kind = [this](link::TrafficEntry::Kind kind) {
        if (kind == link::TrafficEntry::Kind::BadChecksum) ui::count_on_line(ctx, ui::LineEvent::BadChecksum);
        if (kind == link::TrafficEntry::Kind::Noise) ui::count_on_line(ctx, ui::LineEvent::Noise);
    };
    // The traffic shows the reply above as it came; say it was not taken.
    ctx.answer_not_taken = [this](bool answered_already) {
        note(answered_already ? link::TrafficEntry::Kind::StaleAnswer : link::TrafficEntry::Kind::NotAwaited);
    };
    ctx.pace_bounded = [this](int reg, std::int32_t held) {
        link::TrafficEntry entry;
        entry.at_ms = ctx.clock.now_ms();
        entry.kind = link::TrafficEntry::Kind::PaceBounded;
        entry.pace_register = reg;
        entry.pace_held = held;
        traffic.add(std::move(entry));
    };
    bus_window_ = std::make_unique<BusWindow>(*this, frmBus);
}

Program::~Program() = default;

void Program::note(link::TrafficEntry::Kind kind) {
    link::TrafficEntry entry;
    entry.at_ms = ctx.clock.now_ms();
    entry.kind = kind;
    traffic.add(std::move(entry));
}

void Program::Main() {
    auto& link = g.link;
    link = model::LinkSettings{};  // com_port 2, 9600,E,8,1, closed, no framing
    ui::frm_config_Load(ctx);
    // The window's load step has applied its lists; hand the resulting
    // settings to the port as the start-up always has.
    ctx.port.set_input_mode(link.comm_input_mode);
    try {
        ctx.port.set_settings(link.settings_string());
        ctx.port.set_port_number(link.com_port);
    } catch (const form::PortError&) {
        // Nothing is open yet; the user's first "open" reports the problem.
    }
}

void Program::use_desktop(form::Desktop& desktop) {
    ctx.desktop = &desktop;
    desktop.failed = [this](const std::string& path) {
        ctx.msg.show(model::caption(model::Caption::msg_no_viewer, g.lang.language, {path}));
    };
}

}  // namespace vor3::app
