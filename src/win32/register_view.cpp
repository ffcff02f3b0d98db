#include "win32/register_view.h"

#include <commctrl.h>

#include <algorithm>

namespace vor3::win32 {

RegisterView::RegisterView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner)
    : ToolWindow(binder, fonts, owner, true, [&program] { program.register_window.unload(); }), program_(program) {
    form::FrmRegisters& r = program.frmRegisters;
    table_ = make_.make(WC_LISTVIEWW, "grd_registers", LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE);
    binder.grid(r.grd_registers, table_);
    make_.button(r.cmd_copy, "cmd_copy");
    binder.custom(r, [this] { follow(program_.frmRegisters); });
}

layout::ItemPtr RegisterView::contents() {
    using namespace layout;
    const Fonts& f = make_.fonts();
    const int pad = f.scale(11), gap = f.scale(6);
    auto buttons = row(gap);
    buttons->stretch();
    buttons->add(make_.item(make_.find("cmd_copy")));
    // The table takes what the window is given beyond the button row: at
    // first every column and a good part of the rows, the rest a scroll
    // away on a small screen.
    RECT client{};
    GetClientRect(window_, &client);
    const int w = std::max<int>(f.scale(640), client.right - 2 * pad);
    const int h = std::max<int>(f.scale(400), client.bottom - buttons->size().h - gap - 2 * pad);
    auto rows = column(gap);
    rows->add(control(table_, {w, h})).add(std::move(buttons));
    return margins(std::move(rows), pad, pad, pad, pad);
}

}  // namespace vor3::win32
