#include "win32/scan_view.h"

#include <commctrl.h>

namespace vor3::win32 {

ScanView::ScanView(app::Program& program, Binder& binder, const Fonts& fonts, HWND owner)
    : ToolWindow(binder, fonts, owner, false, [&program] { program.scan_window.unload(); }), program_(program) {
    form::FrmScan& s = program.frmScan;
    const auto name = &WidgetFactory::name;
    make_.label(s.lbl_port, "lbl_port");
    for (int i = 0; i <= 3; ++i) make_.label(s.lbl_scan(i), name("lbl_scan", i));
    for (auto& [i, box] : s.chk_mode) make_.check(box, name("chk_mode", i));
    for (auto& [i, box] : s.chk_baud) make_.check(box, name("chk_baud", i));
    for (auto& [i, box] : s.chk_parity) make_.check(box, name("chk_parity", i));
    make_.field(s.txt_response, "txt_response", 5);
    make_.check(s.chk_first, "chk_first");
    make_.button(s.cmd_scan, "cmd_scan");
    make_.button(s.cmd_stop, "cmd_stop");
    make_.progress(s.prg_scan, "prg_scan", 320);
    make_.label(s.lbl_trying, "lbl_trying");
    make_.label(s.lbl_left, "lbl_left");
    make_.label(s.lbl_found, "lbl_found");
    make_.list(s.lst_found, "lst_found", 6);
    make_.button(s.cmd_take, "cmd_take");
    binder.custom(s, [this] { follow(program_.frmScan); });
}

layout::ItemPtr ScanView::contents() {
    using namespace layout;
    form::FrmScan& s = program_.frmScan;
    const Fonts& f = make_.fonts();
    const auto name = &WidgetFactory::name;
    const auto item = [this](const std::string& n) { return make_.item(make_.find(n)); };
    auto grid = std::make_unique<Grid>(f.scale(8), f.scale(4));
    const struct {
        int label;
        form::ControlArray<form::CheckBox>* boxes;
        const char* name;
    } choices[] = {{0, &s.chk_mode, "chk_mode"}, {1, &s.chk_baud, "chk_baud"}, {2, &s.chk_parity, "chk_parity"}};
    for (const auto& choice : choices) {
        grid->add(choice.label, 0, item(name("lbl_scan", choice.label)));
        int column = 1;
        for (auto& [i, box] : *choice.boxes) grid->add(choice.label, column++, item(name(choice.name, i)));
    }
    grid->add(3, 0, item(name("lbl_scan", 3)));
    grid->add(3, 1, item("txt_response"), 2);
    auto buttons = row(f.scale(6));
    buttons->add(item("cmd_scan")).add(item("cmd_stop"));
    auto take = row(0);
    take->stretch();
    take->add(item("cmd_take"));
    // Room for the longest setting tried, whatever the label shows now.
    auto trying = row(0);
    trying->add(space({f.digit * 34, 0}));
    auto rows = column(f.scale(6));
    rows->add(item("lbl_port")).add(std::move(grid)).add(item("chk_first")).add(std::move(buttons));
    rows->add(item("prg_scan")).add(item("lbl_trying")).add(std::move(trying)).add(item("lbl_left"));
    rows->add(item("lbl_found"));
    rows->add(item("lst_found")).add(std::move(take));
    return margins(std::move(rows), f.scale(11), f.scale(11), f.scale(11), f.scale(11));
}

bool ScanView::more(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // A double click takes the find over at once.
    if (msg != WM_COMMAND || HIWORD(wp) != LBN_DBLCLK || reinterpret_cast<HWND>(lp) != make_.find("lst_found"))
        return false;
    guarded([this] { program_.frmScan.cmd_take.press(); });
    result = 0;
    return true;
}

}  // namespace vor3::win32
