#include "ui/trend_window.h"

#include <cerrno>
#include <filesystem>

#include "store/file_error.h"
#include "store/fs_path.h"
#include "store/registry.h"

namespace vor3::ui {

namespace {

using model::Caption;

store::CRegistry registry(const Context& c) { return store::platform_registry(c.g.platform); }

}  // namespace

TrendWindow::TrendWindow(Context& c, form::FrmTrend& window) : c_(c), w_(window) {
    w_.chk_log.on_click = [this](int) { chk_log_Click(); };
    c.measured_values_read.emplace_back([this](const model::MeasuredReading& reading) { record(reading); });
    c.frm.AnsichtMenue(4).on_click = [this](int) { load(); };
    c.frm.AnsichtMenue(4).set_visible(true);
    c.frm.MenueMain(4).set_visible(true);
}

std::string TrendWindow::text(Caption id) const { return model::caption(id, c_.g.lang.language); }

// A pipe or a device would take lines until it blocks or swallows them;
// only an ordinary file (or a new name) is a log.
std::string TrendWindow::refusal(const std::string& path) const {
    using std::filesystem::file_type;
    std::error_code ec;
    switch (std::filesystem::status(store::fs_path(path), ec).type()) {
    case file_type::not_found:
    case file_type::regular: return {};
    case file_type::directory: return store::file_error_text(store::FileError::from_errno(EISDIR), c_.g.lang.language);
    default: return text(Caption::reason_not_a_file);
    }
}

void TrendWindow::load() {
    w_.set_caption(text(Caption::frmTrend));
    w_.chk_log.set_caption(text(Caption::chk_log));
    w_.cht_trend.set_captions(
        {text(Caption::trend_temperature), text(Caption::trend_humidity), text(Caption::trend_co2)},
        {text(Caption::trend_time_axis), text(Caption::trend_climate_axis), text(Caption::trend_co2_axis)});
    w_.set_loaded(true);
    w_.set_visible(true);
}

void TrendWindow::unload() {
    w_.set_visible(false);
    w_.set_loaded(false);
}

void TrendWindow::chk_log_Click() {
    if (w_.chk_log.value() == 0) {
        log_.close();
        w_.lbl_log_file.set_caption({});
        return;
    }
    const std::string last_folder = registry(c_).Werte(store::kProductKey, kLogFolderValue);
    const auto path = c_.files->append_file(text(Caption::log_filter), last_folder);
    if (!path) {
        w_.chk_log.set_value(0);
        return;
    }
    std::string why = refusal(*path);
    if (why.empty()) why = log_.open(*path, model::kReadingCsvHeader, c_.g.lang.language);
    if (!why.empty()) {
        const std::string said = model::caption(Caption::msg_log_open_failed, c_.g.lang.language, {*path, why});
        w_.chk_log.set_value(0);
        c_.msg.show(said);
        return;
    }
    w_.lbl_log_file.set_caption(*path);
    remember_folder(*path);
}

void TrendWindow::record(const model::MeasuredReading& reading) {
    if (held_) return;
    const auto& v = reading.values;
    if (v[0] && v[1] && v[2]) w_.cht_trend.add({c_.clock.now_ms(), reading.epoch_ms, {*v[0], *v[1], *v[2]}});
    if (!log_.is_open()) return;
    const std::string why = log_.append(model::reading_csv_line(reading));
    if (why.empty()) return;
    // Clearing the box closes the log before the message shows, so that
    // readings taken while it is up do not report again.
    const std::string said = model::caption(Caption::msg_log_write_failed, c_.g.lang.language, {log_.path(), why});
    w_.chk_log.set_value(0);
    c_.msg.show(said, text(Caption::msg_log_stopped));
}

void TrendWindow::remember_folder(const std::string& path) {
    const std::string folder = store::utf8_of(store::fs_path(path).parent_path());
    store::CRegistry hive = registry(c_);
    if (folder.empty() || hive.Werte(store::kProductKey, kLogFolderValue) == folder) return;
    hive.Werte(store::kProductKey, kLogFolderValue, folder);
    if (hive.error_number() != 0)
        c_.msg.show(
            model::caption(Caption::msg_setting_not_stored, c_.g.lang.language, {hive.error_text(c_.g.lang.language)}));
}

}  // namespace vor3::ui
