#include "ui/traffic_window.h"

#include "model/captions.h"
#include "store/whole_file.h"

namespace vor3::ui {

namespace {
using model::Caption;
}

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
    return link::traffic_line(e, c_.g.lang.language);
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
