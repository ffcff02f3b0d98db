#include "app/site_run.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/cli_bus.h"
#include "app/cli_read.h"
#include "app/cli_scan.h"
#include "app/data_bits_port.h"
#include "model/captions.h"
#include "store/fs_path.h"
#include "ui/port_settings.h"

namespace vor3::app {

namespace {

// A folder name for a line's saved files: its port with every character a
// file name cannot carry made '_' ("/dev/ttyUSB0" gives "dev_ttyUSB0").
std::string folder_of(const std::string& name) {
    std::string out;
    for (char ch : name) {
        const bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                           ch == '.' || ch == '-' || ch == '#';
        if (plain)
            out += ch;
        else if (!out.empty() && out.back() != '_')
            out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.empty() ? "line" : out;
}

BusPlan plan_of(const SiteLine& line) {
    const CliOptions& o = line.options;
    BusPlan plan;
    if (o.command == "scan") {
        plan.search = scan_plan(o);
        return plan;
    }
    plan = bus_plan(o, {});
    plan.targets = line.targets;
    // One folder per line: two lines may each have a sensor at address 5.
    if (plan.job == BusPlan::Job::Save)
        plan.folder = store::utf8_of(store::fs_path(o.file) / store::fs_path(folder_of(line.name)));
    return plan;
}

}  // namespace

struct SiteRun::Line {
    Line(form::Clock& clock, SiteLine site, form::SerialPort& port)
        : site(std::move(site)),
          fixed_bits(this->site.options.data_bits
                         ? std::optional<DataBitsPort>(std::in_place, port, *this->site.options.data_bits)
                         : std::nullopt),
          program(fixed_bits ? static_cast<form::SerialPort&>(*fixed_bits) : port, messages, no_confirm, clock) {}

    SiteLine site;
    std::optional<DataBitsPort> fixed_bits;
    CollectedMessages messages;
    NoConfirm no_confirm;
    Program program;
    std::unique_ptr<BusRun> run;
    std::string not_opened;  // why the port would not open
    std::string port_lost;   // the window's message for a port that failed during a search
};

SiteRun::SiteRun(form::Clock& clock, std::vector<SiteLine> lines,
                 const std::function<form::SerialPort&(std::size_t)>& port_of,
                 const std::function<void(Program&, const SiteLine&)>& prepare) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines_.push_back(std::make_unique<Line>(clock, std::move(lines[i]), port_of(i)));
        if (prepare) prepare(lines_.back()->program, lines_.back()->site);
    }
}

SiteRun::~SiteRun() = default;

void SiteRun::start() {
    stopping_ = false;
    for (auto& l : lines_) {
        CliRead opener(l->program, l->messages, l->site.options);
        if (!opener.open()) {
            l->not_opened = opener.failure_text();
            continue;
        }
        l->run = std::make_unique<BusRun>(l->program, plan_of(l->site));
        l->run->finished = [line = l.get()] {
            if (const auto& failed = line->run->scanner().error()) {
                ui::show_port_error(line->program.ctx, *failed);
                line->port_lost = line->messages.texts.back();
            }
        };
        l->run->start();
    }
}

void SiteRun::stop() {
    stopping_ = true;
    for (auto& l : lines_)
        if (l->run && !l->run->stopping()) l->run->stop();
}

bool SiteRun::running() const {
    return std::any_of(lines_.begin(), lines_.end(), [](const auto& l) { return l->run && l->run->running(); });
}

Program& SiteRun::program(std::size_t line) { return lines_.at(line)->program; }

std::vector<SensorResult> SiteRun::results() const {
    std::vector<SensorResult> all;
    for (const auto& l : lines_) {
        std::vector<SensorResult> line;
        if (l->run)
            line = l->run->results();
        else
            for (const auto& t : l->site.targets) {
                SensorResult r;
                r.target = t;
                r.outcome = SensorOutcome::PortFailed;
                r.detail = l->not_opened;
                line.push_back(r);
            }
        for (auto& r : line) r.port = l->site.name;
        all.insert(all.end(), line.begin(), line.end());
    }
    return all;
}

std::vector<std::string> SiteRun::notes() const {
    std::vector<std::string> notes;
    for (const auto& l : lines_) {
        const std::string& language = l->program.g.lang.language;
        const std::string lead = l->site.name + ": ";
        if (!l->run) {
            // A line of sensors named says so for each of them.
            if (l->site.targets.empty()) notes.push_back(lead + l->not_opened);
            continue;
        }
        const BusRun& run = *l->run;
        if (run.scanner().error()) {
            notes.push_back(lead + l->port_lost);
        } else if (run.plan().search && run.results().empty() && !run.stopping()) {
            notes.push_back(lead + model::caption(model::Caption::scan_none, language));
        }
        if (!run.stopping()) continue;
        int last = 0;
        for (const auto& r : run.results())
            if (r.outcome != SensorOutcome::NotDone) last = r.target.address;
        notes.push_back(lead + model::caption(model::Caption::bus_stopped, language, {std::to_string(last)}));
    }
    return notes;
}

int SiteRun::exit_status() const {
    int worst = 0;
    for (const auto& r : results()) worst = std::max(worst, app::exit_status(r.outcome));
    for (const auto& l : lines_) {
        if (!l->run) {
            worst = std::max(worst, 2);
        } else if (const auto& failed = l->run->scanner().error()) {
            worst = std::max(worst, failed->number == form::kConnectionClosed ? 3 : 2);
        } else if (l->run->plan().search && l->run->results().empty()) {
            worst = std::max(worst, 3);
        }
    }
    return worst;
}

}  // namespace vor3::app
