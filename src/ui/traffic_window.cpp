#include "ui/traffic_window.h"

#include <cstdio>

#include "model/captions.h"
#include "store/whole_file.h"

namespace vor3::ui {

namespace {

using model::Caption;

// The time of day of an ISO 8601 local time ("2024-12-07T14:03:05.123") in
// milliseconds; -1 for any other text.
std::int64_t ms_of_day(const std::string& iso) {
    if (iso.size() < 23 || iso[10] != 'T') return -1;
    std::int64_t parts[4] = {};
    const std::size_t at[4][2] = {{11, 2}, {14, 2}, {17, 2}, {20, 3}};
    for (int p = 0; p < 4; ++p)
        for (std::size_t i = at[p][0]; i < at[p][0] + at[p][1]; ++i) {
            if (iso[i] < '0' || iso[i] > '9') return -1;
            parts[p] = parts[p] * 10 + (iso[i] - '0');
        }
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000 + parts[3];
}

}  // namespace

TrafficWindow::TrafficWindow(Context& c, form::FrmTraffic& window, link::TrafficRecord& record)
    : c_(c), w_(window), record_(record) {
    w_.cmd_pause.on_click = [this](int) { pause(); };
    w_.cmd_clear.on_click = [this](int) { clear(); };
    w_.cmd_save.on_click = [this](int) { save(); };
    c.frm.AnsichtMenue(3).on_click = [this](int) { load(); };
    c.frm.AnsichtMenue(3).set_visible(true);
    c.frm.MenueMain(4).set_visible(true);
}

void TrafficWindow::load() {
    const std::string& l = c_.g.lang.language;
    w_.set_caption(model::caption(Caption::frmTraffic, l));
    w_.cmd_pause.set_caption(model::caption(record_.paused ? Caption::traffic_resume : Caption::traffic_pause, l));
    w_.cmd_clear.set_caption(model::caption(Caption::traffic_clear, l));
    w_.cmd_save.set_caption(model::caption(Caption::traffic_save, l));
    show_count();
    w_.set_loaded(true);
    w_.set_visible(true);
}

void TrafficWindow::unload() {
    w_.set_visible(false);
    w_.set_loaded(false);
}

void TrafficWindow::pause() {
    record_.paused = !record_.paused;
    w_.cmd_pause.set_caption(
        model::caption(record_.paused ? Caption::traffic_resume : Caption::traffic_pause, c_.g.lang.language));
}

void TrafficWindow::clear() {
    record_.clear();
    show_count();
}

std::string TrafficWindow::line(const link::TrafficEntry& e) const {
    return link::traffic_line(e, c_.g.lang.language, clock_time(e.at_ms));
}

std::string TrafficWindow::clock_time(std::int64_t at_ms) const {
    if (!reference_) reference_ = Reference{ms_of_day(c_.wall_clock->now().iso), c_.clock.now_ms()};
    if (reference_->day_ms < 0) return {};
    constexpr std::int64_t kDay = 24 * 60 * 60 * 1000;
    const std::int64_t t = ((reference_->day_ms + at_ms - reference_->clock_ms) % kDay + kDay) % kDay;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(t / 3600000),
                  static_cast<int>(t / 60000 % 60), static_cast<int>(t / 1000 % 60), static_cast<int>(t % 1000));
    return text;
}

void TrafficWindow::save() {
    const std::string& l = c_.g.lang.language;
    const auto path = c_.files->save_file(model::caption(Caption::file_filter, l));
    if (!path || path->empty()) return;
    std::string text;
    for (const auto& e : record_.entries()) text += line(e) + "\n";
    if (const auto error = store::write_whole_file(*path, text))
        c_.msg.show(model::caption(Caption::traffic_save_failed, l, {*path, store::file_error_text(error, l)}));
}

void TrafficWindow::show_count() {
    w_.lbl_count.set_caption(
        model::caption(Caption::traffic_count, c_.g.lang.language, {std::to_string(record_.entries().size())}));
}

}  // namespace vor3::ui
