#include "ui/scan_window.h"

#include <algorithm>

#include "model/captions.h"
#include "model/line_settings.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "ui/keep_edits.h"
#include "ui/port_settings.h"
#include "ui/status_window.h"

namespace vor3::ui {

namespace {

using model::Caption;

}  // namespace

ScanWindow::ScanWindow(Context& c, form::FrmScan& window)
    : c_(c), w_(window), scanner_(c.port, c.clock), countdown_(c.clock, "scan countdown", 1000) {
    countdown_.on_tick = [this] { show_time_left(); };
    w_.cmd_scan.on_click = [this](int) { start(); };
    w_.cmd_stop.on_click = [this](int) { stop(); };
    w_.cmd_take.on_click = [this](int) { take(); };
    w_.lst_found.on_click = [this](int) {
        w_.cmd_take.set_enabled(w_.lst_found.list_index() >= 0 && !scanner_.running());
    };
    scanner_.changed = [this] { show_progress(); };
    c.frm.AnsichtMenue(1).on_click = [this](int) { load(); };
    c.frm.AnsichtMenue(1).set_visible(true);
    c.frm.MenueMain(4).set_visible(true);
}

void ScanWindow::load() {
    const std::string& language = c_.g.lang.language;
    w_.set_caption(model::caption(Caption::frmScan, language));
    const Caption labels[] = {Caption::scan_mode, Caption::scan_baud, Caption::scan_parity, Caption::scan_response};
    for (int i = 0; i < 4; ++i) w_.lbl_scan(i).set_caption(model::caption(labels[i], language));
    w_.chk_first.set_caption(model::caption(Caption::chk_first, language));
    w_.cmd_scan.set_caption(model::caption(Caption::cmd_scan, language));
    w_.cmd_stop.set_caption(model::caption(Caption::cmd_stop, language));
    w_.cmd_take.set_caption(model::caption(Caption::cmd_take, language));
    w_.lbl_port.set_caption(model::caption(Caption::scan_port, language, {c_.frm.Combo_Port(0).text()}));
    w_.set_loaded(true);
    w_.set_visible(true);
}

void ScanWindow::unload() {
    stop();
    w_.set_visible(false);
    w_.set_loaded(false);
}

void ScanWindow::start() {
    // The scan needs the port to itself: a running read-out ends only if
    // the user agrees.
    auto& f = c_.frm;
    const std::string& language = c_.g.lang.language;
    if (f.chk_read_out.value() == 1 && !c_.confirm.confirm(model::caption(Caption::frmScan, language),
                                                           model::caption(Caption::scan_stops_readout, language),
                                                           model::caption(Caption::cmd_scan, language),
                                                           model::caption(Caption::confirm_cancel, language)))
        return;
    ops::ScanPlan plan;
    plan.modes.clear();
    plan.bauds.clear();
    plan.parities.clear();
    for (auto& [i, box] : w_.chk_mode)
        if (box.value() == 1)
            plan.modes.emplace_back(model::framing_name(model::kScanModes[static_cast<std::size_t>(i)]));
    for (auto& [i, box] : w_.chk_baud)
        if (box.value() == 1) plan.bauds.emplace_back(model::kScanBauds[static_cast<std::size_t>(i)]);
    for (auto& [i, box] : w_.chk_parity)
        if (box.value() == 1) plan.parities.push_back(model::kParities[static_cast<std::size_t>(i)].letter);
    const auto response = model::locale_number(w_.txt_response.text(), c_.g.lang.decimal_sep);
    plan.min_response_ms =
        response && *response >= 0 && *response <= model::kSlowestResponseMs ? static_cast<int>(*response) : 50;
    w_.txt_response.set_text(std::to_string(plan.min_response_ms));
    plan.stop_at_first = w_.chk_first.value() == 1;

    if (f.Combo_Port(6).list_index() != 0) f.Combo_Port(6).set_list_index(0);
    f.set_enabled(false);
    w_.lst_found.clear();
    scanner_.start(plan);
    if (scanner_.running()) countdown_.start();
    show_progress();
}

void ScanWindow::stop() { scanner_.stop(); }

void ScanWindow::take() {
    const auto& found = scanner_.found();
    int chosen = w_.lst_found.list_index();
    if (chosen < 0 && found.size() == 1) chosen = 0;
    if (chosen < 0 || chosen >= static_cast<int>(found.size())) return;
    const ops::ScanFind& find = found[static_cast<std::size_t>(chosen)];
    // Taking a find reads that sensor: one question for all of it.
    if (!may_replace_edits(c_, Replacing::Read)) return;
    const EditsAnswered once(c_);
    auto& f = c_.frm;
    choose_line(c_, find.line);
    f.txt_Modbus_adress.set_text(std::to_string(find.address));
    unload();
    // What the user looked for is the sensor's values: open the port with
    // the find and read the device.
    if (f.Combo_Port(6).list_index() != 1) f.Combo_Port(6).set_list_index(1);
    if (c_.port.is_open()) f.cmd_read_device.press();
}

void choose_line(Context& c, const ops::LineSetting& line) {
    auto pick = [](form::ComboBox& list, const std::string& text) {
        for (int i = 0; i < list.list_count(); ++i)
            if (list.items()[static_cast<std::size_t>(i)] == text) list.set_list_index(i);
    };
    auto& f = c.frm;
    pick(f.Combo_Port(5), line.mode);
    pick(f.Combo_Port(1), line.baud);
    pick(f.Combo_Port(2), model::parity_name(line.parity));
}

ops::LineSetting line_in_force(const Context& c) {
    const auto& link = c.g.link;
    return {model::framing_name(link.protocol_mode), link.baud_rate, link.parity.empty() ? 'E' : link.parity[0]};
}

std::string scan_setting(const ops::LineSetting& line, int address, const std::string& language) {
    const std::string at = std::to_string(address);
    if (line.mode.empty()) return model::caption(Caption::scan_unit, language, {at});
    if (line.baud.empty()) return model::caption(Caption::scan_framing, language, {line.mode, at});
    return model::caption(Caption::scan_entry, language, {line.mode, line.baud, model::parity_name(line.parity), at});
}

std::string scan_trying(const ops::LineSetting& line, int address, const std::string& language) {
    if (line.baud.empty()) return scan_setting(line, address, language);
    return model::caption(Caption::scan_trying, language,
                          {line.mode, line.baud, model::parity_name(line.parity), std::to_string(address)});
}

std::string scan_entry(const ops::ScanFind& find, const std::string& language) {
    const std::string entry = scan_setting(find.line, find.address, language);
    return find.conflict ? model::caption(Caption::scan_conflict, language, {entry}) : entry;
}

void ScanWindow::show_time_left() {
    const bool running = scanner_.running();
    w_.lbl_left.set_caption(running ? time_left_text(scanner_.time_left_ms(), c_.g.lang.language) : std::string());
    if (!running) countdown_.stop();
}

void ScanWindow::show_progress() {
    show_time_left();
    const std::string& language = c_.g.lang.language;
    const bool running = scanner_.running();
    w_.prg_scan.set_range(0, std::max(1, scanner_.total()));
    w_.prg_scan.set_value(scanner_.tried());
    const auto& line = scanner_.line();
    w_.lbl_trying.set_caption(running ? scan_trying(line, scanner_.address(), language) : std::string());
    const auto& found = scanner_.found();
    // A find may learn of a second device at its address after it is listed.
    std::vector<std::string> entries;
    for (const auto& find : found) entries.push_back(scan_entry(find, language));
    if (!std::equal(w_.lst_found.items().begin(), w_.lst_found.items().end(), entries.begin(),
                    entries.begin() + std::min(entries.size(), w_.lst_found.items().size()))) {
        const int chosen = w_.lst_found.list_index();
        w_.lst_found.clear();
        for (const auto& e : entries) w_.lst_found.add_item(e);
        w_.lst_found.set_list_index(chosen);
    } else {
        for (std::size_t i = w_.lst_found.items().size(); i < entries.size(); ++i) w_.lst_found.add_item(entries[i]);
    }
    w_.lbl_found.set_caption(!running && found.empty()
                                 ? model::caption(Caption::scan_none, language)
                                 : model::caption(Caption::scan_found, language, {std::to_string(found.size())}));
    for (auto* array : {&w_.chk_mode, &w_.chk_baud, &w_.chk_parity})
        for (auto& [i, box] : *array) box.set_enabled(!running);
    w_.txt_response.set_enabled(!running);
    w_.chk_first.set_enabled(!running);
    w_.cmd_scan.set_enabled(!running);
    w_.cmd_stop.set_enabled(running);
    w_.cmd_take.set_enabled(!running && (found.size() == 1 || w_.lst_found.list_index() >= 0));
    if (!running) {
        c_.frm.set_enabled(true);
        if (scanner_.error()) show_port_error(c_, *scanner_.error());
    }
}

}  // namespace vor3::ui
