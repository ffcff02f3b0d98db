#include "app/cli_monitor.h"

#include "model/captions.h"

namespace vor3::app {

CliMonitor::CliMonitor(Program& program, const CollectedMessages& messages, const CliOptions& options)
    : p_(program), messages_(messages), o_(options) {}

CliMonitor::Outcome CliMonitor::start() {
    auto& f = p_.frm_config;
    CliRead opener(p_, messages_, o_);
    if (!opener.open()) return Outcome::PortFailed;
    last_valid_ms_ = p_.ctx.clock.now_ms();
    p_.ctx.measured_values_read.emplace_back([this](const model::MeasuredReading& reading) {
        pending_.push_back(model::reading_csv_line(reading));
        last_valid_ms_ = p_.ctx.clock.now_ms();
    });
    f.chk_read_out.set_value(1);
    return Outcome::Running;
}

CliMonitor::Outcome CliMonitor::poll(std::vector<std::string>& lines, std::vector<std::string>& notes) {
    for (auto& l : pending_) {
        if (o_.count > 0 && readings_ >= o_.count) break;
        lines.push_back(std::move(l));
        ++readings_;
    }
    pending_.clear();
    const bool warning = p_.frm_config.warning_line().visible();
    if (warning != silent_) {
        silent_ = warning;
        notes.push_back(warning ? p_.frm_config.warning_line().caption()
                                : model::caption(model::Caption::msg_sensor_answers, p_.g.lang.language));
    }
    if (!messages_.texts.empty()) notes.push_back(messages_.texts.back());
    // A read-out refused by the sensor, or cut by a connection the gateway
    // closed, has ended before its count: nothing more to wait for, and
    // not done.
    switch (CliRead::of_transfer(p_.ctx)) {
    case CliRead::Outcome::PortFailed: return Outcome::PortFailed;
    case CliRead::Outcome::NoAnswer: return Outcome::NoAnswer;
    default: break;
    }
    if (o_.count > 0 && readings_ >= o_.count) return Outcome::Done;
    const int give_up_s = o_.give_up_s.value_or(CliOptions::kGiveUpSeconds);
    if (give_up_s > 0 && p_.ctx.clock.now_ms() - last_valid_ms_ >= give_up_s * std::int64_t{1000}) {
        notes.push_back(
            model::caption(model::Caption::msg_monitor_gave_up, p_.g.lang.language, {std::to_string(give_up_s)}));
        return Outcome::NoAnswer;
    }
    return Outcome::Running;
}

CliMonitor::Outcome CliMonitor::stop() const { return readings_ > 0 ? Outcome::Done : Outcome::NoAnswer; }

int CliMonitor::exit_status(Outcome o) {
    switch (o) {
    case Outcome::Done: return 0;
    case Outcome::PortFailed: return 2;
    case Outcome::NoAnswer:
    case Outcome::Running: return 3;
    }
    return 3;
}

}  // namespace vor3::app
