#include "app/cli_write.h"

#include <algorithm>

#include "app/field_entry.h"
#include "form/serial_port.h"
#include "form/virtual_clock.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "ui/change_marking.h"
#include "ui/parameter_file.h"
#include "ui/status_window.h"

namespace vor3::app {

namespace {

// A port for a window that only checks entries: it never opens.
struct NoPort : form::SerialPort {
    std::vector<std::string> port_list() const override { return {}; }
    int port_number() const override { return 0; }
    void set_port_number(int) override {}
    void set_settings(const std::string&) override {}
    bool is_open() const override { return false; }
    void set_open(bool) override { throw form::PortError(form::kPortInvalid, "no port"); }
    void set_input_mode(int) override {}
    void write(std::string_view) override { throw form::PortError(form::kPortNotOpen, "no port"); }
    int waiting_count() override { return 0; }
    std::string read_all() override { return {}; }
};

struct Assignment {
    std::string name, value;
};

Assignment split(const std::string& a) {
    const auto eq = a.find('=');
    return {a.substr(0, eq), a.substr(eq + 1)};
}

// The location id's field, which is also its line in a read report.
constexpr int kLocationId = 3;

bool is_measured(const ReportLine& l) { return l.control.rfind("txt_data_out", 0) == 0; }

// Loads the parameter file into the window's fields. The address line is
// not taken: the link options say which sensor is written, and a file
// saved from one sensor must not redirect the write to another.
bool load_file(Program& p, const std::string& file) { return ui::load_parameter_file(p.ctx, file, false); }

// The configuration fields a parameter file sets, as they stand now.
std::vector<std::string> loaded_fields(const Program& p) {
    std::vector<std::string> out;
    for (const auto& l : read_report(p))
        if (l.control.rfind("txt_data_cfg(", 0) == 0 || l.control.rfind("chk_cfg(", 0) == 0)
            if (l.control != "txt_data_cfg(0)" && l.control != "txt_data_cfg(1)")
                out.push_back(l.control + "=" + l.value);
    return out;
}

}  // namespace

CliWrite::CliWrite(Program& program, const CollectedMessages& messages, const CliOptions& options)
    : p_(program), messages_(messages), o_(options), read_(program, messages, options) {}

std::vector<std::string> CliWrite::check(const CliOptions& options, const model::PlatformSettings& platform) {
    form::VirtualClock clock;
    NoPort port;
    CollectedMessages msg;
    NoConfirm confirm;
    Program scratch(port, msg, confirm, clock);
    scratch.g.platform = platform;
    scratch.Main();
    std::vector<std::string> refused;
    if (!options.file.empty() && !load_file(scratch, options.file)) refused.push_back(msg.texts.back());
    const auto& given = options.assignments;
    for (auto a = given.begin(); a != given.end(); ++a) {
        const Assignment asked = split(*a);
        if (const auto why = enter_value(scratch, asked.name, asked.value)) {
            refused.push_back(*why);
            continue;
        }
        // Which of two values was meant cannot be known; the same one twice
        // harms nothing.
        const std::string shown = field_value(scratch, asked.name).value_or("");
        const auto again = std::find_if(a + 1, given.end(), [&](const std::string& b) {
            const auto other = split(b);
            return other.name == asked.name && !same_value(scratch, shown, other.value);
        });
        const bool told =
            std::any_of(given.begin(), a, [&](const std::string& b) { return split(b).name == asked.name; });
        if (again != given.end() && !told)
            refused.push_back(model::caption(model::Caption::entry_given_twice, scratch.g.lang.language,
                                             {asked.name, asked.value, split(*again).value}));
    }
    return refused;
}

CliWrite::Outcome CliWrite::start() { return after_read(read_.start()); }

CliWrite::Outcome CliWrite::begin() { return after_read(read_.begin()); }

CliWrite::Outcome CliWrite::after_read(CliRead::Outcome read) {
    switch (read) {
    case CliRead::Outcome::PortFailed: return Outcome::PortFailed;
    case CliRead::Outcome::NoAnswer: return Outcome::NoAnswer;
    case CliRead::Outcome::Done: return enter_and_press();
    case CliRead::Outcome::Running: return Outcome::Running;
    }
    return Outcome::Running;
}

CliWrite::Outcome CliWrite::enter_and_press() {
    phase_ = Phase::Writing;
    before_ = read_report(p_);
    expected_.clear();
    if (!o_.file.empty()) {
        if (!load_file(p_, o_.file)) {
            refusal_ = messages_.texts.back();
            return Outcome::Refused;
        }
        if (keep_location_id_) p_.frm_config.txt_data_cfg(kLocationId).set_text(before_[kLocationId].value);
        expected_ = loaded_fields(p_);
        if (keep_location_id_)
            std::erase_if(expected_, [](const std::string& a) { return split(a).name == "txt_data_cfg(3)"; });
    }
    // A value named on the command line wins over the file's (and the last
    // of two equal ones stands for both).
    for (const auto& a : o_.assignments) {
        std::erase_if(expected_, [&](const std::string& e) { return split(e).name == split(a).name; });
        expected_.push_back(a);
    }
    for (const auto& a : o_.assignments) {
        const auto [name, value] = split(a);
        if (const auto why = enter_value(p_, name, value)) {
            refusal_ = *why;
            return Outcome::Refused;
        }
    }
    auto& f = p_.frm_config;
    // Nothing differs from the device: there is nothing to write (and no
    // one to ask whether to write the same values again).
    ui::UpdateApplyButton(p_.ctx, ui::MarkGroup::All);
    if (!f.set_parameter.effectively_enabled()) return finish();
    f.set_parameter.press();
    pressed_ = true;
    return poll();
}

void CliWrite::stop() {
    stopping_ = true;
    p_.g.transfer.stopping = true;
}

CliWrite::Outcome CliWrite::poll() {
    // Stopped only between requests: the block in flight has its answer
    // (or its give-up) first, so what the sensor confirmed is known.
    if (stopping_ && !link::line_busy(p_.ctx)) return halt();
    if (phase_ == Phase::Reading) return after_read(read_.poll());
    // The read-back's end names what the sensor holds otherwise than sent:
    // a difference, not a failure of the line.
    if (p_.g.sent.checked) return finish();
    // The write ends in the read-back's last step, once no second answer
    // to it can come any more.
    switch (CliRead::of_transfer(p_.ctx)) {
    case CliRead::Outcome::Running: return Outcome::Running;
    case CliRead::Outcome::PortFailed: return Outcome::PortFailed;
    case CliRead::Outcome::NoAnswer: return Outcome::NoAnswer;
    case CliRead::Outcome::Done: return finish();
    }
    return Outcome::Running;
}

CliWrite::Outcome CliWrite::halt() {
    if (p_.frmState.loaded() || p_.g.transfer.request_kind != model::kIdle)
        ui::Abbruch_Click(p_.ctx);
    else
        link::reset_transfer(p_.ctx);
    refusal_ = model::caption(pressed_ ? model::Caption::write_stopped : model::Caption::write_stopped_unsent,
                              p_.g.lang.language);
    return Outcome::Stopped;
}

CliWrite::Outcome CliWrite::finish() {
    after_ = read_report(p_);
    differences_.clear();
    std::vector<std::string> named;
    // Every value sent, named or carried back unchanged...
    if (pressed_)
        for (const auto& d : p_.g.sent.differences) {
            named.push_back(std::string(model::array_name(d.array)) + "(" + std::to_string(d.index) + ")");
            differences_.push_back(named.back() + "\t" + d.sent + " -> " + d.read);
        }
    // ...and every value asked for, as it was entered.
    for (const auto& a : expected_) {
        const auto [name, value] = split(a);
        const auto now = field_value(p_, name);
        if (std::find(named.begin(), named.end(), name) != named.end()) continue;
        if (!now || !same_value(p_, *now, value))
            differences_.push_back(name + "\t" + value + " -> " + now.value_or(""));
    }
    return differences_.empty() ? Outcome::Done : Outcome::Differs;
}

std::vector<std::string> CliWrite::changes() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < before_.size() && i < after_.size(); ++i) {
        const auto& b = before_[i];
        if (is_measured(b) || b.value == after_[i].value) continue;
        out.push_back(b.control + "\t" + b.caption + "\t" + b.value + " -> " + after_[i].value);
    }
    return out;
}

std::vector<std::string> CliWrite::write_state() const {
    std::vector<std::string> out;
    if (!pressed_) return out;
    for (const auto& a : expected_) {
        const auto caption =
            field_marked(p_, split(a).name) ? model::Caption::write_unconfirmed : model::Caption::write_confirmed;
        out.push_back(model::caption(caption, p_.g.lang.language, {a}));
    }
    return out;
}

std::string CliWrite::failure_text() const {
    if (!refusal_.empty()) return refusal_;
    return read_.failure_text();
}

int CliWrite::exit_status(Outcome o) {
    switch (o) {
    case Outcome::Done: return 0;
    case Outcome::Refused: return 1;
    case Outcome::PortFailed: return 2;
    case Outcome::NoAnswer: return 3;  // NOLINT(bugprone-branch-clone): outcomes share a status on purpose
    case Outcome::Running: return 3;
    case Outcome::Stopped: return 3;
    case Outcome::Differs: return 4;
    }
    return 3;
}

}  // namespace vor3::app
