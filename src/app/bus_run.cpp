#include "app/bus_run.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/cli_save.h"
#include "link/answers.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "store/fs_path.h"
#include "ui/scan_window.h"

namespace vor3::app {

namespace {

using model::Caption;

// Often enough that the next sensor follows the last without a pause the
// line would notice.
constexpr std::int64_t kWatchMs = 2;
constexpr const char* kLocationIdField = "txt_data_cfg(3)";

struct OutcomeRow {
    SensorOutcome outcome;
    int exit_status;
    const char* name;
    Caption text;
};

constexpr OutcomeRow kOutcomes[] = {
    {SensorOutcome::NotDone, 3, "not done", Caption::bus_not_done},
    {SensorOutcome::Read, 0, "read", Caption::bus_read},
    {SensorOutcome::Saved, 0, "saved", Caption::bus_saved},
    {SensorOutcome::Verified, 0, "verified", Caption::bus_verified},
    {SensorOutcome::Differs, 4, "differs", Caption::bus_differs},
    {SensorOutcome::NoAnswer, 3, "no answer", Caption::bus_no_answer},
    {SensorOutcome::Refused, 3, "refused", Caption::bus_refused},
    {SensorOutcome::PortFailed, 2, "port not available", Caption::bus_port_failed},
    {SensorOutcome::ValueRefused, 1, "value not taken", Caption::bus_value_refused},
    {SensorOutcome::NotStored, 1, "not stored", Caption::bus_not_stored},
};

const OutcomeRow& row_of(SensorOutcome outcome) {
    for (const auto& r : kOutcomes)
        if (r.outcome == outcome) return r;
    return kOutcomes[0];
}

// "txt_data_cfg(4)\t900 -> 899" as one line of a report.
std::string one_line(std::string text) {
    for (auto at = text.find('\t'); at != std::string::npos; at = text.find('\t', at)) text.replace(at, 1, ": ");
    return text;
}

}  // namespace

std::string SensorResult::location_id() const {
    for (const auto& l : before)
        if (l.control == kLocationIdField) return l.value;
    return {};
}

int exit_status(SensorOutcome outcome) { return row_of(outcome).exit_status; }
const char* outcome_name(SensorOutcome outcome) { return row_of(outcome).name; }
std::string outcome_text(SensorOutcome outcome, const std::string& language) {
    return model::caption(row_of(outcome).text, language);
}

BusRun::BusRun(Program& program, BusPlan plan)
    : p_(program),
      plan_(std::move(plan)),
      scanner_(program.ctx.port, program.ctx.clock),
      watch_(program.ctx.clock, "bus", kWatchMs) {
    watch_.on_tick = [this] { tick(); };
    scanner_.changed = [this] {
        // The sensors found join the run first: told before, the window
        // would see a run with no sensor and no search, as if none was found.
        if (!scanner_.running() && running_) searched();
        if (search_progress) search_progress();
    };
}

BusRun::~BusRun() {
    if (running_) p_.divert_messages(nullptr);
}

std::string BusRun::file_name(int address, const std::string& location_id) {
    char name[64];
    std::snprintf(name, sizeof name, "address%02d", address);
    return std::string(name) + (location_id.empty() ? "" : "_location" + location_id) + ".txt";
}

void BusRun::start() {
    current_ = 0;
    stopping_ = false;
    under_way_ = false;
    running_ = true;
    results_.clear();
    p_.divert_messages(&collected_);
    // The user's cyclic read-out would keep the line for itself.
    p_.frm_config.chk_read_out.set_value(0);
    if (plan_.search) {
        // The search has the port to itself.
        p_.frm_config.Combo_Port(6).set_list_index(0);
        scanner_.start(*plan_.search);
        return;
    }
    for (const auto& t : plan_.targets) results_.emplace_back().target = t;
    if (results_.empty()) return finish();
    watch_.start();
    tick();
}

void BusRun::searched() {
    if (stopping_ || scanner_.error()) return finish();
    for (const auto& find : scanner_.found()) results_.emplace_back().target = {find.address, find.line};
    if (results_.empty()) return finish();
    p_.frm_config.Combo_Port(6).set_list_index(1);
    watch_.start();
    tick();
}

void BusRun::stop() {
    if (!running_) return;
    stopping_ = true;
    if (scanner_.running()) return scanner_.stop();
    if (!under_way_) finish();
}

int BusRun::exit_status() const {
    int worst = 0;
    for (const auto& r : results_) worst = std::max(worst, app::exit_status(r.outcome));
    return worst;
}

bool BusRun::settled() const {
    const auto& f = p_.frm_config;
    return !p_.frmState.loaded() && !f.Timer1.enabled() && !f.Timer6.enabled() && !link::line_busy(p_.ctx);
}

void BusRun::tick() {
    if (!running_) return;
    if (!under_way_) {
        if (settled()) begin_sensor();
        return;
    }
    SensorResult& r = results_[current_];
    if (write_) {
        const auto outcome = write_->poll();
        if (outcome == CliWrite::Outcome::Running) return;
        r.before = write_->before();
        r.after = write_->after();
        r.changes = write_->changes();
        switch (outcome) {
        case CliWrite::Outcome::Done: return end_sensor(SensorOutcome::Verified, {});
        case CliWrite::Outcome::Differs: {
            std::string why;
            for (const auto& d : write_->differences()) why += (why.empty() ? "" : "; ") + one_line(d);
            return end_sensor(SensorOutcome::Differs, why);
        }
        case CliWrite::Outcome::Refused: return end_sensor(SensorOutcome::ValueRefused, write_->failure_text());
        default: r.write_state = write_->write_state(); return end_sensor(failure_kind(), write_->failure_text());
        }
    }
    const auto outcome = read_->poll();
    if (outcome == CliRead::Outcome::Running) return;
    if (outcome != CliRead::Outcome::Done) return end_sensor(failure_kind(), read_->failure_text());
    r.before = read_report(p_);
    if (plan_.job == BusPlan::Job::Save) return save_read_sensor(r);
    end_sensor(SensorOutcome::Read, {});
}

void BusRun::begin_sensor() {
    SensorResult& r = results_[current_];
    auto& f = p_.frm_config;
    collected_.texts.clear();
    if (r.target.line) ui::choose_line(p_.ctx, *r.target.line);
    f.txt_Modbus_adress.set_text(std::to_string(r.target.address));
    if (!p_.g.link.port_open) f.Combo_Port(6).set_list_index(1);
    if (!p_.g.link.port_open) {
        under_way_ = true;
        return end_sensor(SensorOutcome::PortFailed,
                          collected_.texts.empty() ? std::string() : collected_.texts.back());
    }
    CliOptions o;
    o.file = plan_.file;
    o.assignments = plan_.assignments;
    under_way_ = true;
    if (plan_.job == BusPlan::Job::Write) {
        write_ = std::make_unique<CliWrite>(p_, collected_, o);
        if (plan_.keep_location_id) write_->keep_location_id();
        write_->begin();
    } else {
        read_ = std::make_unique<CliRead>(p_, collected_, o);
        read_->begin();
    }
    // The outcome is taken at the next tick: one path for every ending.
}

void BusRun::save_read_sensor(SensorResult& r) {
    std::error_code ec;
    const std::filesystem::path folder = store::fs_path(plan_.folder);
    std::filesystem::create_directories(folder, ec);
    r.file = store::utf8_of(folder / store::fs_path(file_name(r.target.address, r.location_id())));
    if (const auto why = save_through_menu(p_, collected_, r.file)) return end_sensor(SensorOutcome::NotStored, *why);
    end_sensor(SensorOutcome::Saved, r.file);
}

SensorOutcome BusRun::failure_kind() const {
    const auto& t = p_.g.transfer;
    if (t.outcome == model::TransferOutcome::PortLost || !p_.g.link.port_open) return SensorOutcome::PortFailed;
    // A gateway's refusal says that no sensor answered it.
    const bool gateway =
        t.refusal_code == link::kGatewayPathUnavailable || t.refusal_code == link::kGatewayTargetFailed;
    return t.outcome == model::TransferOutcome::Refused && !gateway ? SensorOutcome::Refused : SensorOutcome::NoAnswer;
}

void BusRun::end_sensor(SensorOutcome outcome, std::string detail) {
    SensorResult& r = results_[current_];
    r.outcome = outcome;
    r.detail = std::move(detail);
    read_.reset();
    write_.reset();
    under_way_ = false;
    const std::size_t done = current_++;
    // Without a port the others cannot be reached either.
    if (outcome == SensorOutcome::PortFailed)
        for (std::size_t i = current_; i < results_.size(); ++i) {
            results_[i].outcome = outcome;
            results_[i].detail = r.detail;
        }
    if (sensor_done) sensor_done(done);
    if (stopping_ || outcome == SensorOutcome::PortFailed || current_ >= results_.size()) finish();
}

void BusRun::finish() {
    if (!running_) return;
    running_ = false;
    under_way_ = false;
    watch_.stop();
    current_ = results_.size();
    p_.divert_messages(nullptr);
    if (finished) finished();
}

}  // namespace vor3::app
