#include "win32/bus_view.h"

#include <commctrl.h>

#include <algorithm>

#include "app/bus_window.h"

namespace vor3::win32 {

BusView::BusView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner)
    : ToolWindow(binder, fonts, owner, true, [&program] { program.bus_window().unload(); }), program_(program) {
    form::FrmBus& b = program.frmBus;
    make_.label(b.lbl_port, "lbl_port");
    make_.check(b.chk_every, "chk_every");
    make_.label(b.lbl_simulated, "lbl_simulated");
    make_.field(b.txt_simulated, "txt_simulated", 12);
    make_.button(b.cmd_search, "cmd_search");
    table_ = make_.make(WC_LISTVIEWW, "grd_sensors", LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE);
    binder.grid(b.grd_sensors, table_);
    make_.check(b.chk_location, "chk_location");
    make_.check(b.chk_pace, "chk_pace");
    make_.button(b.cmd_write_file, "cmd_write_file");
    make_.button(b.cmd_write_shown, "cmd_write_shown");
    make_.progress(b.prg_bus, "prg_bus", 200);
    make_.label(b.lbl_state, "lbl_state");
    make_.button(b.cmd_abort, "cmd_abort");
    make_.button(b.cmd_report, "cmd_report");
    binder.custom(b, [this] { follow(program_.frmBus); });
}

layout::ItemPtr BusView::contents() {
    using namespace layout;
    const Fonts& f = make_.fonts();
    const auto item = [this](const char* n) { return make_.item(make_.find(n)); };
    const int pad = f.scale(11), gap = f.scale(6);
    auto search = row(gap);
    search->add(item("chk_every")).add(item("lbl_simulated")).add(item("txt_simulated"));
    search->stretch();
    search->add(item("cmd_search"));
    auto write = row(gap);
    write->add(item("chk_location")).add(item("chk_pace"));
    write->stretch();
    write->add(item("cmd_write_file")).add(item("cmd_write_shown"));
    auto end = row(gap);
    end->add(item("lbl_state"));
    end->stretch();
    end->add(item("cmd_abort")).add(item("cmd_report"));
    // The table takes what the window is given beyond the rest.
    RECT client{};
    GetClientRect(window_, &client);
    const int others = make_.size(make_.find("lbl_port")).h + search->size().h + write->size().h +
                       make_.size(make_.find("prg_bus")).h + end->size().h + 5 * gap + 2 * pad;
    const int w = std::max<int>(f.scale(860), client.right - 2 * pad);
    const int h = std::max<int>(f.scale(280), client.bottom - others);
    auto rows = column(gap);
    rows->add(item("lbl_port")).add(std::move(search)).add(control(table_, {w, h})).add(std::move(write));
    auto bar = row(0);
    bar->add(control(make_.find("prg_bus"), {w, make_.size(make_.find("prg_bus")).h}));
    rows->add(std::move(bar)).add(std::move(end));
    return margins(std::move(rows), pad, pad, pad, pad);
}

}  // namespace vor3::win32
