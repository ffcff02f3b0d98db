#include "app/bus_window.h"

#include "app/bus_report.h"
#include "app/field_entry.h"
#include "link/transmit.h"
#include "model/address_list.h"
#include "model/captions.h"
#include "model/line_settings.h"
#include "model/register_map.h"
#include "store/whole_file.h"
#include "ui/keep_edits.h"
#include "ui/port_settings.h"
#include "ui/scan_window.h"

namespace vor3::app {

namespace {

using model::Caption;

// How often a refresh looks whether the sensor asked has fallen silent.
constexpr std::int64_t kRefreshWatchMs = 100;

enum Column { kAddress, kLocation, kCoding, kFirmware, kTemperature, kHumidity, kCo2, kState, kColumns };

std::string value_of(const std::vector<ReportLine>& lines, const std::string& control) {
    for (const auto& l : lines)
        if (l.control == control) return l.value;
    return {};
}

std::vector<std::string> split(const std::string& text, char at) {
    std::vector<std::string> out(1);
    for (char ch : text) {
        if (ch == at)
            out.emplace_back();
        else
            out.back().push_back(ch);
    }
    return out;
}

// The configuration part the main window shows, as vor3-cli write takes
// it: every configuration field a user can change there, the location id
// only when asked for.
std::vector<std::string> shown_configuration(const Program& p, bool with_location) {
    std::vector<std::string> out;
    for (const auto& f : model::field_map()) {
        const bool field = f.array == model::FieldArray::txt_data_cfg && f.index >= 3 && !f.hidden;
        const bool coil = f.array == model::FieldArray::chk_cfg && (!f.hidden || p.frm_config.cmb_bit_cfg.has(f.index));
        if ((!field && !coil) || (field && f.index == 3 && !with_location)) continue;
        const std::string name = std::string(model::array_name(f.array)) + "(" + std::to_string(f.index) + ")";
        out.push_back(name + "=" + field_value(p, name).value_or(""));
    }
    return out;
}

}  // namespace

BusWindow::BusWindow(Program& program, form::FrmBus& window)
    : p_(program), w_(window), refresh_timer_(program.ctx.clock, "bus refresh", kRefreshWatchMs) {
    w_.cmd_search.on_click = [this](int) { search(); };
    w_.cmd_write_file.on_click = [this](int) { write_file(); };
    w_.cmd_write_shown.on_click = [this](int) { write_shown(); };
    w_.cmd_abort.on_click = [this](int) { abort(); };
    w_.cmd_report.on_click = [this](int) { save_report(); };
    w_.grd_sensors.on_double_click = [this](int row) { take(row); };
    refresh_timer_.on_tick = [this] { refresh_watch(); };
    // One setting, shown in both windows.
    w_.chk_pace.on_click = [this](int) { p_.frm_config.chk_pace.set_value(w_.chk_pace.value()); };
    auto& pace = p_.frm_config.chk_pace;
    pace.on_click = [this, main = std::move(pace.on_click)](int index) {
        if (main) main(index);
        w_.chk_pace.set_value(p_.frm_config.chk_pace.value());
    };
    w_.chk_pace.set_value(pace.value());
    p_.ctx.measured_values_read.emplace_back([this](const model::MeasuredReading& r) { refreshed(r); });
    auto& menu = p_.frm_config;
    menu.AnsichtMenue(5).on_click = [this](int) { load(); };
    menu.AnsichtMenue(5).set_visible(true);
    menu.MenueMain(4).set_visible(true);
}

BusWindow::~BusWindow() = default;

std::string BusWindow::text(Caption id, std::initializer_list<std::string> args) const {
    return model::caption(id, p_.g.lang.language, args);
}

bool BusWindow::simulated_port() const {
    return set_simulated_addresses && p_.frm_config.Combo_Port(0).text() == text(Caption::simulator_entry);
}

void BusWindow::load() {
    w_.set_caption(text(Caption::frmBus));
    w_.chk_every.set_caption(text(Caption::bus_every_setting));
    w_.lbl_simulated.set_caption(text(Caption::bus_simulated));
    w_.cmd_search.set_caption(text(Caption::cmd_scan));
    w_.chk_location.set_caption(text(Caption::chk_location));
    w_.chk_pace.set_caption(text(Caption::lbl_parameter_8));
    w_.cmd_write_file.set_caption(text(Caption::cmd_write_file));
    w_.cmd_write_shown.set_caption(text(Caption::cmd_write_shown));
    w_.cmd_abort.set_caption(text(Caption::Abbruch));
    w_.cmd_report.set_caption(text(Caption::cmd_report));
    w_.grd_sensors.set_headers(split(text(Caption::bus_columns), '|'));
    const bool simulated = simulated_port();
    w_.lbl_simulated.set_visible(simulated);
    w_.txt_simulated.set_visible(simulated);
    w_.set_loaded(true);
    w_.set_visible(true);
    show_state();
    refresh_start();
}

void BusWindow::unload() {
    refresh_stop();
    if (busy()) run_->stop();
    w_.set_visible(false);
    w_.set_loaded(false);
}

void BusWindow::search() {
    if (busy()) return;
    refresh_stop();
    if (simulated_port()) {
        try {
            set_simulated_addresses(
                model::parse_address_list(w_.txt_simulated.text(), model::kFirstAddress, model::kLastAddress));
        } catch (const std::invalid_argument&) {
            p_.ctx.msg.show(text(Caption::msg_address_range));
            return;
        }
    }
    ops::ScanPlan search;
    if (w_.chk_every.value() == 0) {
        const auto line = ui::line_in_force(p_.ctx);
        search.modes = {line.mode};
        search.bauds = {line.baud};
        search.parities = {line.parity};
    }
    BusPlan plan;
    plan.search = search;
    sensors_.clear();
    w_.grd_sensors.set_rows({});
    start(std::move(plan), {});
}

void BusWindow::write_file() {
    if (busy()) return;
    if (w_.grd_sensors.selected().empty()) return p_.ctx.msg.show(text(Caption::bus_nothing_chosen));
    const auto path = p_.ctx.files->open_file(text(Caption::file_filter));
    if (!path || path->empty()) return;
    CliOptions o;
    o.file = *path;
    // A file the window would not take whole is refused before anything is sent.
    const auto refused = CliWrite::check(o, p_.g.platform);
    if (!refused.empty()) return p_.ctx.msg.show(refused.front());
    BusPlan plan;
    plan.job = BusPlan::Job::Write;
    plan.file = *path;
    plan.keep_location_id = w_.chk_location.value() == 0;
    std::vector<std::size_t> rows(w_.grd_sensors.selected().begin(), w_.grd_sensors.selected().end());
    start(std::move(plan), rows);
}

void BusWindow::write_shown() {
    if (busy()) return;
    if (w_.grd_sensors.selected().empty()) return p_.ctx.msg.show(text(Caption::bus_nothing_chosen));
    if (!p_.g.image.config_known) return p_.ctx.msg.show(text(Caption::msg_not_read));
    CliOptions o;
    o.assignments = shown_configuration(p_, w_.chk_location.value() == 1);
    const auto refused = CliWrite::check(o, p_.g.platform);
    if (!refused.empty()) return p_.ctx.msg.show(refused.front());
    BusPlan plan;
    plan.job = BusPlan::Job::Write;
    plan.assignments = o.assignments;
    std::vector<std::size_t> rows(w_.grd_sensors.selected().begin(), w_.grd_sensors.selected().end());
    start(std::move(plan), rows);
}

void BusWindow::start(BusPlan plan, std::vector<std::size_t> rows) {
    refresh_stop();
    for (std::size_t r : rows) plan.targets.push_back(sensors_[r].target);
    run_rows_ = std::move(rows);
    run_ = std::make_unique<BusRun>(p_, std::move(plan));
    run_->search_progress = [this] { show_state(); };
    run_->sensor_done = [this](std::size_t i) { sensor_done(i); };
    run_->finished = [this] { run_ended(); };
    // The readings come from one sensor after another now.
    p_.trend_window.hold(true);
    run_->start();
    show_state();
}

void BusWindow::sensor_done(std::size_t i) {
    const auto& results = run_->results();
    // A search's sensors join the list as it ends.
    if (run_rows_.size() < results.size()) {
        for (std::size_t k = run_rows_.size(); k < results.size(); ++k) {
            run_rows_.push_back(sensors_.size());
            form::Grid::Row cells(kColumns);
            cells[kAddress] = std::to_string(results[k].target.address);
            sensors_.push_back({results[k].target, cells});
        }
    }
    const SensorResult& r = results[i];
    Sensor& s = sensors_[run_rows_[i]];
    const auto& lines = r.after.empty() ? r.before : r.after;
    if (!lines.empty()) {
        s.cells[kLocation] = value_of(lines, "txt_data_cfg(3)");
        s.cells[kCoding] = value_of(lines, "txt_data_cfg(0)");
        s.cells[kFirmware] = value_of(lines, "txt_data_cfg(1)");
        for (int k = 0; k < 3; ++k)
            s.cells[static_cast<std::size_t>(kTemperature + k)] =
                value_of(lines, "txt_data_out(" + std::to_string(k) + ")");
    }
    s.cells[kState] = outcome_text(r.outcome, p_.g.lang.language) +
                      (r.outcome == SensorOutcome::Differs ? ": " + r.detail : std::string());
    s.written = run_->plan().job == BusPlan::Job::Write;
    std::vector<form::Grid::Row> rows;
    for (const auto& sensor : sensors_) rows.push_back(sensor.cells);
    w_.grd_sensors.set_rows(std::move(rows));
    show_state();
}

void BusWindow::run_ended() {
    // Sensors the run did not reach say so too (after a lost port, all of them).
    for (std::size_t i = 0; i < run_->results().size(); ++i)
        if (const auto o = run_->results()[i].outcome; o == SensorOutcome::NotDone || o == SensorOutcome::PortFailed)
            sensor_done(i);
    last_ = run_->results();
    p_.trend_window.hold(false);
    show_state();
    if (!w_.loaded()) {
        // The window was closed under the run: say what was done.
        int last = 0;
        for (const auto& r : last_)
            if (r.outcome != SensorOutcome::NotDone) last = r.target.address;
        p_.ctx.msg.show(text(Caption::bus_stopped, {std::to_string(last)}), bus_summary(last_, p_.g.lang.language));
        return;
    }
    if (run_->scanner().error()) ui::show_port_error(p_.ctx, *run_->scanner().error());
    refresh_start();
}

void BusWindow::abort() {
    if (busy()) run_->stop();
    show_state();
}

void BusWindow::save_report() {
    if (last_.empty()) return;
    const auto path = p_.ctx.files->save_file(text(Caption::bus_report_filter));
    if (!path || path->empty()) return;
    if (const auto error = store::write_whole_file(*path, bus_report_csv(last_, p_.g.lang.decimal_sep)))
        p_.ctx.msg.show(text(Caption::msg_save_failed, {*path, store::file_error_text(error, p_.g.lang.language)}));
}

void BusWindow::take(int row) {
    if (busy() || row < 0 || row >= static_cast<int>(sensors_.size())) return;
    refresh_stop();
    const Sensor& s = sensors_[static_cast<std::size_t>(row)];
    // Taking a sensor reads it: one question for all of it.
    if (!ui::may_replace_edits(p_.ctx, ui::Replacing::Read)) return;
    const ui::EditsAnswered once(p_.ctx);
    auto& f = p_.frm_config;
    if (s.target.line) ui::choose_line(p_.ctx, *s.target.line);
    f.txt_Modbus_adress.set_text(std::to_string(s.target.address));
    if (!p_.g.link.port_open) f.Combo_Port(6).set_list_index(1);
    f.cmd_read_device.press();
    show_state();
}

void BusWindow::show_state() {
    const bool running = busy();
    std::string state;
    if (running && run_->searching()) {
        const auto& sc = run_->scanner();
        const auto& line = sc.line();
        w_.prg_bus.set_range(0, std::max(1, sc.total()));
        w_.prg_bus.set_value(sc.tried());
        state = text(Caption::bus_searching, {ui::scan_trying(line, sc.address(), p_.g.lang.language)});
    } else if (running && !run_->results().empty()) {
        const auto& results = run_->results();
        const std::size_t at = std::min(run_->current(), results.size() - 1);
        w_.prg_bus.set_range(0, static_cast<int>(results.size()));
        w_.prg_bus.set_value(static_cast<int>(run_->current()));
        const std::string address = std::to_string(results[at].target.address);
        const Caption doing = run_->plan().job == BusPlan::Job::Write ? Caption::bus_writing : Caption::bus_reading;
        state = run_->stopping() ? text(Caption::bus_stopping, {address})
                                 : text(doing, {address, std::to_string(at + 1), std::to_string(results.size())});
    } else if (run_) {
        int done = 0;
        for (const auto& r : last_) done += app::exit_status(r.outcome) == 0;
        state = last_.empty() ? text(Caption::scan_none)
                              : text(Caption::bus_tally, {std::to_string(done), std::to_string(last_.size())});
    }
    if (refreshing_) state = text(Caption::bus_refreshing, {std::to_string(sensors_[refresh_at_].target.address)});
    w_.lbl_state.set_caption(state);
    w_.lbl_port.set_caption(
        text(Caption::bus_port, {p_.frm_config.Combo_Port(0).text(), model::framing_name(p_.g.link.protocol_mode),
                                 p_.g.link.baud_rate, p_.frm_config.Combo_Port(2).text()}));
    w_.cmd_search.set_enabled(!running);
    w_.chk_every.set_enabled(!running);
    w_.chk_pace.set_enabled(!running);
    w_.txt_simulated.set_enabled(!running);
    w_.cmd_write_file.set_enabled(!running && !sensors_.empty());
    w_.cmd_write_shown.set_enabled(!running && !sensors_.empty());
    w_.cmd_abort.set_enabled(running && !run_->stopping());
    w_.cmd_report.set_enabled(!running && !last_.empty());
}

bool BusWindow::refreshable(std::size_t i) const {
    const auto& line = sensors_[i].target.line;
    return !line || *line == ui::line_in_force(p_.ctx);
}

void BusWindow::refresh_start() {
    if (refreshing_ || busy() || !w_.loaded() || !p_.g.link.port_open) return;
    // The read-out keeps the line setting in force: only the sensors at it.
    std::size_t first = 0;
    while (first < sensors_.size() && !refreshable(first)) ++first;
    if (first == sensors_.size()) return;
    refreshing_ = true;
    p_.trend_window.hold(true);
    // A refusal ends the read-out with a message; it is the sensor's state
    // in the list instead.
    refresh_messages_.texts.clear();
    p_.divert_messages(&refresh_messages_);
    refresh_ask(first);
    p_.frm_config.chk_read_out.set_value(1);
    refresh_timer_.start();
}

void BusWindow::refresh_stop() {
    if (!refreshing_) return;
    refreshing_ = false;
    refresh_timer_.stop();
    p_.divert_messages(nullptr);
    p_.frm_config.chk_read_out.set_value(0);
    // Requests go to the main window's sensor again.
    p_.g.image.lent_address = 0;
    p_.trend_window.hold(false);
    show_state();
}

void BusWindow::refresh_ask(std::size_t at) {
    refresh_at_ = at;
    asked_at_ms_ = p_.ctx.clock.now_ms();
    auto& image = p_.g.image;
    image.lent_address = sensors_[at].target.address;
    image.lent_values = {};
    // Another sensor answers now, perhaps at a slower pace than the last.
    p_.g.transfer.min_response_ms = -1;
    show_state();
}

void BusWindow::refresh_next(SensorOutcome outcome) {
    Sensor& s = sensors_[refresh_at_];
    if (outcome == SensorOutcome::Read)
        for (int k = 0; k < 3; ++k)
            s.cells[static_cast<std::size_t>(kTemperature + k)] = p_.g.image.lent_values[static_cast<std::size_t>(k)];
    if (!s.written) s.cells[kState] = outcome_text(outcome, p_.g.lang.language);
    w_.grd_sensors.set_row(static_cast<int>(refresh_at_), s.cells);
    std::size_t next = refresh_at_;
    do next = (next + 1) % sensors_.size();
    while (!refreshable(next));
    refresh_ask(next);
}

void BusWindow::refreshed(const model::MeasuredReading&) {
    // The read-out has just shown the values of the sensor asked; the next
    // request goes to the next sensor.
    if (refreshing_) refresh_next(SensorOutcome::Read);
}

void BusWindow::refresh_watch() {
    if (!refreshing_) return;
    auto& f = p_.frm_config;
    if (!p_.g.link.port_open) return refresh_stop();
    if (f.chk_read_out.value() == 0) {
        // Without a refusal it was the user who ended the read-out.
        if (refresh_messages_.texts.empty()) return refresh_stop();
        refresh_messages_.texts.clear();
        refresh_next(SensorOutcome::Refused);
        f.chk_read_out.set_value(1);
        return;
    }
    // Past the longest a request can take, with its repeat and give-up.
    if (p_.ctx.clock.now_ms() - asked_at_ms_ > link::longest_wait_ms(p_.ctx)) refresh_next(SensorOutcome::NoAnswer);
}

}  // namespace vor3::app
