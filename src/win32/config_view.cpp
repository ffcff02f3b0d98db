#include "win32/config_view.h"

#include <commctrl.h>

#include <algorithm>

#include "app/bus_window.h"
#include "model/captions.h"
#include "ui/config_window.h"
#include "ui/language.h"
#include "win32/about_view.h"
#include "win32/bus_view.h"
#include "win32/layout.h"
#include "win32/port_text.h"
#include "win32/register_view.h"
#include "win32/scan_view.h"
#include "win32/state_view.h"
#include "win32/traffic_view.h"
#include "win32/trend_view.h"

namespace vor3::win32 {

using port_text::wide;

namespace {

constexpr const wchar_t* kConfigClass = L"Vor3ConfigWindow";
constexpr int kNumberChars = 7;  // "-3276,7" fits
constexpr int kLogoWidth = 150, kLogoHeight = 38;
constexpr UINT_PTR kCloseRetry = 1;
// Posted once the window shows: the status window, which every transfer
// shows, is made while the user looks, not during the first read.
constexpr UINT kPrepare = WM_APP + 3;

void register_config_class() {
    static bool done = false;
    if (done) return;
    done = true;
    register_view_classes();
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = view_window_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = kConfigClass;
    RegisterClassExW(&cls);
}

// The tab control with its pages: as large as the larger page, each page
// a panel over the tab's display area.
class TabItem : public layout::Item {
public:
    TabItem(HWND tabs, HWND (&pages)[2], layout::ItemPtr first, layout::ItemPtr second, int margin)
        : tabs_(tabs), pages_{pages[0], pages[1]}, margin_(margin) {
        content_[0] = std::move(first);
        content_[1] = std::move(second);
        fill_width = true;
    }
    layout::Size size() const override {
        layout::Size page;
        for (const auto& c : content_) {
            const layout::Size s = c->size();
            page.w = std::max(page.w, s.w + 2 * margin_);
            page.h = std::max(page.h, s.h + 2 * margin_);
        }
        RECT r{0, 0, page.w, page.h};
        SendMessageW(tabs_, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return {r.right - r.left, r.bottom - r.top};
    }
    void place(int x, int y, int w, int h) override {
        SetWindowPos(tabs_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r{x, y, x + w, y + h};
        SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        for (int i = 0; i < 2; ++i) {
            SetWindowPos(pages_[i], HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            content_[i]->place(margin_, margin_, r.right - r.left - 2 * margin_, r.bottom - r.top - 2 * margin_);
        }
    }

private:
    HWND tabs_;
    HWND pages_[2];
    layout::ItemPtr content_[2];
    int margin_;
};

}  // namespace

ConfigView::ConfigView(app::Program& program) : program_(program), fonts_(GetDpiForSystem()), make_(binder_, fonts_) {
    register_config_class();
    binder_.set_item_height(fonts_.line + fonts_.scale(4));
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kConfigClass, L"",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                              400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), static_cast<MessageTarget*>(this));
    make_icons();
    build();
    build_menus();
    // The other windows are made when they are first loaded (or asked
    // for): the configuration window shows sooner. Each binds its model
    // window anew as it is made, and shows at once if it is loaded.
    const auto when_loaded = [this](form::Window& model, auto make) {
        binder_.custom(model, [&model, make] {
            if (model.loaded()) make();
        });
    };
    when_loaded(program.frmState, [this] { state_view(); });
    when_loaded(program.fAbout, [this] { about_view(); });
    when_loaded(program.frmScan, [this] { scan_view(); });
    when_loaded(program.frmTraffic, [this] { traffic_view(); });
    when_loaded(program.frmBus, [this] { bus_view(); });
    when_loaded(program.frmTrend, [this] { trend_view(); });
    when_loaded(program.frmRegisters, [this] { register_view(); });

    // The window's own enabled state greys its contents and menus, not the
    // window: message boxes and the status window must stay usable while
    // the model has it disabled.
    form::FrmConfig& f = program.frm_config;
    binder_.custom(f, [this, &f] {
        SetWindowTextW(window_, wide(f.caption()).c_str());
        if (!f.enabled()) {
            HWND focus = GetFocus();
            if (focus && IsChild(window_, focus)) focus_before_transfer_ = focus;
        }
        binder_.pass_state_on(f);
        if (f.enabled()) return_focus();
    });
}

void ConfigView::make_icons() {
    HICON big = make_icon(GetSystemMetricsForDpi(SM_CXICON, fonts_.dpi));
    HICON small = make_icon(GetSystemMetricsForDpi(SM_CXSMICON, fonts_.dpi));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (big_icon_) DestroyIcon(big_icon_);
    if (small_icon_) DestroyIcon(small_icon_);
    big_icon_ = big;
    small_icon_ = small;
}

void ConfigView::warm_up_disabling() {
    // The first time wine greys a window's controls costs it tenfold what
    // it costs afterwards (half a tenth of a second here): it is paid once
    // the window shows, undrawn, rather than at the first read.
    // The control with the focus is left alone: greying it would take the
    // focus, which the model hears as the user leaving the field.
    HWND focus = GetFocus();
    std::vector<HWND> enabled;
    for (const auto& [name, w] : make_.windows())
        if (IsWindowEnabled(w) && w != focus && !IsChild(w, focus)) enabled.push_back(w);
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    for (HWND w : enabled) EnableWindow(w, FALSE);
    for (HWND w : enabled) EnableWindow(w, TRUE);
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
}

void ConfigView::change_dpi(UINT dpi, const RECT& suggested) {
    if (dpi != fonts_.dpi) {
        fonts_.set_dpi(dpi);
        binder_.set_item_height(fonts_.line + fonts_.scale(4));
        make_.refont();
        make_icons();
        fitted_ = false;
        fit_both_languages();
        if (state_) state_->refont();
        if (about_) about_->refont();
        for (ToolWindow* tool : {static_cast<ToolWindow*>(scan_.get()), static_cast<ToolWindow*>(traffic_.get()),
                                 static_cast<ToolWindow*>(bus_.get()), static_cast<ToolWindow*>(trend_.get()),
                                 static_cast<ToolWindow*>(registers_.get())})
            if (tool) tool->refont();
        // What the old sizes drew is drawn over.
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

StateView& ConfigView::state_view() {
    if (!state_) state_ = std::make_unique<StateView>(program_.frmState, binder_, fonts_, window_);
    return *state_;
}

AboutView& ConfigView::about_view() {
    if (!about_) about_ = std::make_unique<AboutView>(program_.ctx, binder_, fonts_, window_);
    return *about_;
}

ScanView& ConfigView::scan_view() {
    if (!scan_) scan_ = std::make_unique<ScanView>(program_, binder_, fonts_, window_);
    return *scan_;
}

TrafficView& ConfigView::traffic_view() {
    if (!traffic_) traffic_ = std::make_unique<TrafficView>(program_, binder_, fonts_, window_);
    return *traffic_;
}

BusView& ConfigView::bus_view() {
    if (!bus_) bus_ = std::make_unique<BusView>(program_, binder_, fonts_, window_);
    return *bus_;
}

TrendView& ConfigView::trend_view() {
    if (!trend_) trend_ = std::make_unique<TrendView>(program_, binder_, fonts_, window_);
    return *trend_;
}

RegisterView& ConfigView::register_view() {
    if (!registers_) registers_ = std::make_unique<RegisterView>(program_, binder_, fonts_, window_);
    return *registers_;
}

ConfigView::~ConfigView() {
    state_.reset();
    about_.reset();
    scan_.reset();
    traffic_.reset();
    bus_.reset();
    trend_.reset();
    registers_.reset();
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (big_icon_) DestroyIcon(big_icon_);
    if (small_icon_) DestroyIcon(small_icon_);
}

void ConfigView::build() {
    form::FrmConfig& f = program_.frm_config;
    const auto name = &WidgetFactory::name;
    make_.set_parent(window_);

    // The serial settings, column by column: which label names which list.
    make_.frame(f.frm_parameter, "frm_parameter");
    const struct { int label, list; } columns[] = {{3, 0}, {1, 1}, {2, 2}, {5, 5}, {6, 6}};
    for (const auto& c : columns) {
        make_.label(f.lbl_parameter(c.label), name("lbl_parameter", c.label));
        // The port list keeps its width whatever the user names in it.
        make_.combo(f.Combo_Port(c.list), name("Combo_Port", c.list), c.list == 0 ? 22 : 0);
    }
    make_.label(f.lbl_parameter(0), name("lbl_parameter", 0));
    make_.field(f.txt_Modbus_adress, "txt_Modbus_adress", 4);
    make_.label(f.lbl_parameter(7), name("lbl_parameter", 7));
    make_.check(f.chk_echo, "chk_echo");
    make_.label(f.lbl_parameter(8), name("lbl_parameter", 8));
    make_.check(f.chk_pace, "chk_pace");
    binder_.plain(f.Picture1, make_.make(L"STATIC", "Picture1", SS_OWNERDRAW));

    tabs_ = make_.make(WC_TABCONTROLW, "SSTab1", WS_TABSTOP | WS_CLIPSIBLINGS);
    for (int i = 0; i < 2; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        wchar_t empty[] = L"";
        item.pszText = empty;
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        pages_[i] = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                                    window_, nullptr, GetModuleHandleW(nullptr), static_cast<MessageTarget*>(this));
    }

    // Page 0, "Allgemein".
    make_.set_parent(pages_[0]);
    make_.frame(f.frm_allg(1), "frm_allg_1");
    make_.heading(f.lbl_desc(0), name("lbl_desc", 0));
    for (int i : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10}) {
        make_.label(f.lbl_cfg(i), name("lbl_cfg", i));
        make_.field(f.txt_data_cfg(i), name("txt_data_cfg", i), kNumberChars);
        if (f.lbl_cfg_val.has(i)) make_.value_label(f.lbl_cfg_val(i), name("lbl_cfg_val", i), kNumberChars);
        if (f.UpD_txt_cfg.has(i)) make_.spin(f.UpD_txt_cfg(i), name("UpD_txt_cfg", i));
    }
    make_.frame(f.frm_hold(0), "frm_hold_0");
    for (int i = 0; i <= 2; ++i) {
        make_.label(f.lbl_data_in(i), name("lbl_data_in", i));
        make_.field(f.txt_data_in(i), name("txt_data_in", i), kNumberChars);
    }
    make_.label(f.lbl_unit(0), name("lbl_unit", 0));
    make_.label(f.lbl_unit_hum(0), name("lbl_unit_hum", 0));
    make_.label(f.lbl_kelvin(3), name("lbl_kelvin", 3));
    // Further inputs the sensor may gain; the model keeps them hidden.
    for (int i = 3; i <= 5; ++i) make_.field(f.txt_data_in(i), name("txt_data_in", i), kNumberChars);
    make_.frame(f.frm_val(1), "frm_val_1");
    for (int i = 0; i <= 2; ++i) {
        make_.label(f.lbl_read_out(i), name("lbl_read_out", i));
        make_.field(f.txt_data_out(i), name("txt_data_out", i), kNumberChars, true);
    }
    make_.label(f.lbl_unit(1), name("lbl_unit", 1));
    make_.label(f.lbl_unit_hum(1), name("lbl_unit_hum", 1));
    make_.label(f.lbl_unit_hum(2), name("lbl_unit_hum", 2));

    // Page 1, "Anzeige".
    make_.set_parent(pages_[1]);
    make_.frame(f.frm_display(0), "frm_display_0");
    make_.heading(f.lbl_desc(2), name("lbl_desc", 2));
    make_.label(f.lbl_cfg(6), name("lbl_cfg", 6));
    make_.field(f.txt_data_cfg(6), name("txt_data_cfg", 6), kNumberChars);
    make_.spin(f.UpD_txt_cfg(6), name("UpD_txt_cfg", 6));
    make_.heading(f.lbl_desc(3), name("lbl_desc", 3));
    for (auto& [i, box] : f.chk_cfg) {
        make_.row_label(f.lbl_read_cfg_bit(i), box, name("lbl_read_cfg_bit", i));
        make_.check(box, name("chk_cfg", i));
        if (f.cmb_bit_cfg.has(i)) make_.combo(f.cmb_bit_cfg(i), name("cmb_bit_cfg", i));
    }
    make_.frame(f.frm_coils(0), "frm_coils_0");
    for (auto& [i, box] : f.chk_inp_bit) {
        make_.row_label(f.lbl_read_bit(i), box, name("lbl_read_bit", i));
        make_.check(box, name("chk_inp_bit", i));
    }

    // The actions.
    make_.set_parent(window_);
    make_.frame(f.Frm_read, "Frm_read");
    make_.button(f.cmd_read_device, "cmd_read_device");
    make_.button(f.read_out_parameter, "read_out_parameter");
    make_.button(f.set_parameter, "set_parameter");
    make_.label(f.lbl_desc(17), name("lbl_desc", 17));
    make_.check(f.chk_read_out, "chk_read_out");
    // Both lines are as wide as the window makes them: the warning wraps
    // between the buttons, the status line's lines are cut at its edge.
    const auto static_kind = [](HWND w, LONG_PTR kind) {
        SetWindowLongPtrW(w, GWL_STYLE, (GetWindowLongPtrW(w, GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK}) | kind);
    };
    static_kind(make_.label(f.warning_line(), name("lbl_desc", 16)), SS_CENTER);
    static_kind(make_.label(f.status_line, "status_line"), SS_LEFTNOWORDWRAP);

    binder_.tab(f.SSTab1, tabs_, {pages_[0], pages_[1]});
}

void ConfigView::build_menus() {
    form::FrmConfig& f = program_.frm_config;
    // Loading and saving parameters are opened and saved everywhere else.
    auto shortcut = [this, &f](const form::MenuItem& item) -> std::string {
        const bool german = program_.g.lang.language == model::kGerman;
        if (&item == &f.ParMenueMain(1)) return german ? "Strg+O" : "Ctrl+O";
        if (&item == &f.ParMenueMain(2)) return german ? "Strg+S" : "Ctrl+S";
        return {};
    };
    binder_.menu_bar(window_, f, f.menu_bar, shortcut);
    ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'O', binder_.command_of(f.ParMenueMain(1))},
                    {FVIRTKEY | FCONTROL, 'S', binder_.command_of(f.ParMenueMain(2))}};
    accelerators_ = CreateAcceleratorTableW(keys, 2);
}

void ConfigView::place_all() {
    form::FrmConfig& f = program_.frm_config;
    using namespace layout;
    const auto name = &WidgetFactory::name;
    const auto at = [this](const std::string& n) { return make_.find(n); };
    const auto item = [this, &at](const std::string& n, bool centred = false) { return make_.item(at(n), centred); };
    const int gap = fonts_.scale(6), row_gap = fonts_.scale(4);

    auto parameters = std::make_unique<Grid>(gap, fonts_.scale(2));
    int col = 0;
    for (const auto& [label, list] : {std::pair{3, 0}, {1, 1}, {2, 2}, {5, 5}, {6, 6}}) {
        parameters->add(0, col, item(name("lbl_parameter", label)));
        parameters->add(1, col++, item(name("Combo_Port", list)));
    }
    parameters->add(0, col, item(name("lbl_parameter", 0)));
    parameters->add(1, col++, item("txt_Modbus_adress"));
    parameters->add(0, col, item(name("lbl_parameter", 7)));
    parameters->add(1, col++, item("chk_echo", true));
    parameters->add(0, col, item(name("lbl_parameter", 8)));
    parameters->add(1, col, item("chk_pace", true));
    auto top = row(gap);
    top->add(make_.framed(at("frm_parameter"), std::move(parameters)));
    top->stretch();
    top->add(control(at("Picture1"), {fonts_.scale(kLogoWidth), fonts_.scale(kLogoHeight)}));

    // A configuration field with its spin buttons joined to its right
    // edge; the first two show a read-only value in its place.
    auto config_row = [&](Grid& grid, int& r, int i) {
        // A row the model shows nothing of takes no room.
        if (!f.lbl_cfg(i).visible() && !f.txt_data_cfg(i).visible() && !f.lbl_cfg_val.has(i)) return;
        grid.add(r, 0, item(name("lbl_cfg", i)));
        auto cell = row(0);
        if (f.lbl_cfg_val.has(i))
            cell->add(stacked({at(name("txt_data_cfg", i)), at(name("lbl_cfg_val", i))},
                              make_.size(at(name("txt_data_cfg", i)))));
        else
            cell->add(item(name("txt_data_cfg", i)));
        if (f.UpD_txt_cfg.has(i)) cell->add(item(name("UpD_txt_cfg", i)));
        cell->fill_width = false;
        grid.add(r++, 1, std::move(cell));
    };
    auto value_rows = [&](const char* labels, const char* fields, const std::string(&units)[3]) {
        auto grid = std::make_unique<Grid>(gap, row_gap);
        for (int i = 0; i <= 2; ++i) {
            grid->add(i, 0, item(name(labels, i)));
            grid->add(i, 1, item(name(fields, i)));
            grid->add(i, 2, item(units[i]));
        }
        return grid;
    };

    auto general = std::make_unique<Grid>(gap, row_gap);
    general->add(0, 0, item(name("lbl_desc", 0)), 2);
    int r = 1;
    for (int i : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10}) config_row(*general, r, i);
    const std::string in_units[3] = {"lbl_unit_0", "lbl_unit_hum_0", "lbl_kelvin_3"};
    const std::string out_units[3] = {"lbl_unit_1", "lbl_unit_hum_1", "lbl_unit_hum_2"};
    auto right = column(gap);
    right->add(make_.framed(at("frm_hold_0"), value_rows("lbl_data_in", "txt_data_in", in_units)));
    right->add(make_.framed(at("frm_val_1"), value_rows("lbl_read_out", "txt_data_out", out_units)));
    right->fill_width = false;
    auto page0 = row(gap);
    page0->add(make_.framed(at("frm_allg_1"), std::move(general)));
    page0->add(std::move(right));

    auto display = std::make_unique<Grid>(gap, row_gap);
    display->add(0, 0, item(name("lbl_desc", 2)), 2);
    r = 1;
    config_row(*display, r, 6);
    display->add(r++, 0, margins(item(name("lbl_desc", 3)), 0, fonts_.scale(10), 0, 0), 2);
    for (auto& [i, box] : f.chk_cfg) {
        // A row the model shows neither half of takes no room.
        if (!box.visible() && !f.lbl_read_cfg_bit(i).visible()) continue;
        display->add(r, 0, item(name("lbl_read_cfg_bit", i)));
        auto cell = row(gap);
        // The temperature unit is chosen from a list in the coil's place.
        if (box.visible()) cell->add(item(name("chk_cfg", i)));
        if (f.cmb_bit_cfg.has(i)) cell->add(item(name("cmb_bit_cfg", i)));
        cell->fill_width = false;
        display->add(r++, 1, std::move(cell));
    }
    auto coils = std::make_unique<Grid>(gap, row_gap);
    r = 0;
    for (auto& [i, box] : f.chk_inp_bit) {
        if (!box.visible() && !f.lbl_read_bit(i).visible()) continue;
        coils->add(r, 0, item(name("lbl_read_bit", i)));
        coils->add(r++, 1, item(name("chk_inp_bit", i)));
    }
    auto coil_column = column(gap);
    coil_column->add(make_.framed(at("frm_coils_0"), std::move(coils)));
    coil_column->fill_width = false;
    auto page1 = row(gap);
    page1->add(make_.framed(at("frm_display_0"), std::move(display)));
    page1->add(std::move(coil_column));

    auto buttons = row(gap);
    buttons->add(item("cmd_read_device")).add(item("read_out_parameter")).add(item("set_parameter"));
    // The warning stands between the buttons, where the row has room, so
    // that the status line below fits a small screen; its room stays while
    // it is hidden, so the window does not jump when it comes and goes.
    buttons->grow().add(filling(at(name("lbl_desc", 16)), 2 * fonts_.line));
    buttons->add(item(name("lbl_desc", 17))).add(item("chk_read_out"));
    auto actions = column(row_gap);
    actions->add(std::move(buttons));
    // Three lines whatever they say.
    actions->add(filling(at("status_line"), 3 * fonts_.line));

    auto whole = column(gap);
    whole->add(std::move(top));
    whole->add(std::make_unique<TabItem>(tabs_, pages_, std::move(page0), std::move(page1), fonts_.scale(6)));
    whole->add(make_.framed(at("Frm_read"), std::move(actions)));
    auto window = margins(std::move(whole), fonts_.scale(8), fonts_.scale(6), fonts_.scale(8), fonts_.scale(8));

    const Size need = window->size();
    window->place(0, 0, need.w, need.h);
    fit_client(window_, need);
}

void ConfigView::fit_both_languages() {
    // The window has one size in either language, the larger of the two,
    // so that nothing moves when a technician switches.
    if (fitted_) return;
    fitted_ = true;
    // The model's texts are measured; the windows take only the final ones.
    binder_.hold(true);
    guarded([this] {
        for (const char* language : {model::kGerman, model::kEnglish}) {
            ui::caption_configuration_window(program_.ctx, language);
            make_.measure();
        }
        ui::caption_configuration_window(program_.ctx, program_.g.lang.language);
    });
    binder_.hold(false);
    make_.measure();
    place_all();
}

void ConfigView::show_centered() {
    fit_both_languages();
    RECT frame{};
    GetWindowRect(window_, &frame);
    const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    const form::Point at =
        form::centred_on(rect_of(work_area(nullptr)), {static_cast<int>(size.cx), static_cast<int>(size.cy)});
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    PostMessageW(window_, kPrepare, 0, 0);
    if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) SetFocus(first);
}

void ConfigView::return_focus() {
    // Disabling the window for a transfer takes the focus from its
    // control; it goes back there, not to the port's open/close list.
    HWND before = focus_before_transfer_;
    focus_before_transfer_ = nullptr;
    if (before && IsWindow(before) && IsWindowEnabled(before) && IsWindowVisible(before)) SetFocus(before);
}

void ConfigView::close() {
    if (program_.bus_window().busy()) {
        // A run over the line finishes the sensor in progress first, so
        // none is left half-written; its message says what was done.
        guarded([this] { program_.bus_window().unload(); });
        SetTimer(window_, kCloseRetry, 50, nullptr);
        return;
    }
    bool may_close = true;
    guarded([this, &may_close] { may_close = ui::frm_config_QueryUnload(program_.ctx); });
    if (!may_close) return;
    guarded([this] { ui::frm_config_Unload(program_.ctx); });
    closing_ = true;
    ShowWindow(window_, SW_HIDE);
    if (program_.ctx.end_program) program_.ctx.end_program();
}

bool ConfigView::message(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (binder_.message(w, msg, wp, lp, result)) return true;
    switch (msg) {
    case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (d->hwndItem != make_.find("Picture1")) return false;
        FillRect(d->hDC, &d->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        paint_logo(d->hDC, d->rcItem, fonts_);
        result = TRUE;
        return true;
    }
    case WM_CLOSE:
        if (w != window_) return false;
        close();
        result = 0;
        return true;
    case WM_TIMER:
        if (wp != kCloseRetry) return false;
        if (!program_.bus_window().busy()) {
            KillTimer(window_, kCloseRetry);
            close();
        }
        result = 0;
        return true;
    case kPrepare:
        guarded([this] { state_view(); });
        warm_up_disabling();
        result = 0;
        return true;
    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE: modal_.emplace(); return false;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE: modal_.reset(); return false;
    case Win32MessageBox::kShowWaiting:
        if (show_waiting_messages) show_waiting_messages();
        result = 0;
        return true;
    case WM_DPICHANGED:
        if (w != window_) return false;
        change_dpi(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        result = 0;
        return true;
    default: return false;
    }
}

}  // namespace vor3::win32
