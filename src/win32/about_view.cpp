#include "win32/about_view.h"

#include <algorithm>

#include "model/captions.h"
#include "ui/about.h"
#include "win32/layout.h"
#include "win32/placement.h"
#include "win32/port_text.h"

namespace vor3::win32 {

namespace {

constexpr const wchar_t* kAboutClass = L"Vor3AboutBox";

void register_about_class() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = view_window_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = kAboutClass;
    RegisterClassExW(&cls);
}

}  // namespace

AboutView::AboutView(Context& c, Binder& binder, const Fonts& fonts, HWND owner)
    : c_(c), binder_(binder), make_(binder, fonts), owner_(owner) {
    register_view_classes();
    register_about_class();
    window_ =
        CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kAboutClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                        0, 0, 440, 260, owner, nullptr, GetModuleHandleW(nullptr), static_cast<MessageTarget*>(this));
    form::FAbout& a = c.about;
    make_.set_parent(window_);
    make_.make(L"STATIC", "Picture1", SS_OWNERDRAW);
    make_.heading(a.lblVersion, "lblVersion");
    make_.label(a.Label2, "Label2");
    make_.label(a.Label1, "Label1");
    make_.label(a.lbl_Software_Hinweis, "lbl_Software_Hinweis");
    make_.label(a.lbl_maker_name, "lbl_maker_name");
    make_.label(a.lbl_maker_street, "lbl_maker_street");
    make_.label(a.lbl_maker_city, "lbl_maker_city");
    make_.label(a.lbl_maker_country, "lbl_maker_country");
    make_.label(a.lbltxtEmail, "lbltxtEmail");
    make_.link(a.lblemail, "lblemail");
    make_.label(a.lbltxtHyperlink, "lbltxtHyperlink");
    make_.link(a.lblHyperlink, "lblHyperlink");

    // The box keeps one size, which the model centres on the screen: wide
    // enough for the product line in either language.
    make_.measure();
    const std::string product = a.lblVersion.caption();
    a.lblVersion.set_caption(model::caption_en(model::Caption::lblVersion));
    make_.measure();
    a.lblVersion.set_caption(product);
    const SIZE need = fit(false);
    a.width = std::max(a.width, static_cast<int>(need.cx));
    a.height = std::max(a.height, static_cast<int>(need.cy));
    binder.custom(a, [this] { follow_model(); });
}

AboutView::~AboutView() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

SIZE AboutView::fit(bool place) {
    using namespace layout;
    const Fonts& f = make_.fonts();
    auto grid = std::make_unique<Grid>(f.scale(8), f.scale(4));
    const auto item = [this](const char* name) { return make_.item(make_.find(name)); };
    int r = 0;
    grid->add(r++, 0, item("lblVersion"), 2);
    grid->add(r, 0, item("Label2"));
    grid->add(r++, 1, item("Label1"));
    grid->add(r++, 0, item("lbl_Software_Hinweis"), 2);
    grid->add(r++, 0, space({0, f.scale(4)}));
    for (const char* line : {"lbl_maker_name", "lbl_maker_street", "lbl_maker_city", "lbl_maker_country"})
        grid->add(r++, 0, item(line), 2);
    grid->add(r++, 0, space({0, f.scale(4)}));
    grid->add(r, 0, item("lbltxtEmail"));
    grid->add(r++, 1, item("lblemail"));
    grid->add(r, 0, item("lbltxtHyperlink"));
    grid->add(r++, 1, item("lblHyperlink"));
    auto columns = row(f.scale(16));
    auto logo = column(0);
    logo->add(control(make_.find("Picture1"), {f.scale(150), f.scale(38)}));
    logo->fill_width = false;
    columns->add(std::move(logo));
    columns->add(std::move(grid));
    auto whole = margins(std::move(columns), f.scale(16), f.scale(16), f.scale(16), f.scale(16));
    const Size need = whole->size();
    if (place) {
        RECT client{};
        GetClientRect(window_, &client);
        whole->place(0, 0, std::max<int>(need.w, client.right), std::max<int>(need.h, client.bottom));
    }
    // The frame Windows draws around the client area, as it is.
    RECT client{}, frame{};
    GetClientRect(window_, &client);
    GetWindowRect(window_, &frame);
    return {need.w + (frame.right - frame.left) - client.right, need.h + (frame.bottom - frame.top) - client.bottom};
}

void AboutView::follow_model() {
    const form::FAbout& a = c_.about;
    SetWindowTextW(window_, port_text::wide(a.caption()).c_str());
    const bool shown = a.visible() && a.loaded();
    if (shown == (IsWindowVisible(window_) != FALSE)) return;
    if (!shown) {
        EnableWindow(owner_, TRUE);
        ShowWindow(window_, SW_HIDE);
        SetActiveWindow(owner_);
        return;
    }
    make_.measure();
    // The model placed the box for the size it was given; texts that came
    // with loading it (the version) may need more, kept centred.
    SetWindowPos(window_, nullptr, a.left, a.top, a.width, a.height, SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE need = fit(false);
    const int width = std::max(a.width, static_cast<int>(need.cx)),
              height = std::max(a.height, static_cast<int>(need.cy));
    SetWindowPos(window_, nullptr, a.left - (width - a.width) / 2, a.top - (height - a.height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    fit(true);
    EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

bool AboutView::message(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (binder_.message(w, msg, wp, lp, result)) return true;
    switch (msg) {
    case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        FillRect(d->hDC, &d->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        paint_logo(d->hDC, d->rcItem, make_.fonts());
        result = TRUE;
        return true;
    }
    case WM_COMMAND:
        if (LOWORD(wp) != IDCANCEL || lp != 0) return false;
        [[fallthrough]];
    case WM_CLOSE:
        guarded([this] { ui::fAbout_Unload(c_); });
        result = 0;
        return true;
    default: return false;
    }
}

}  // namespace vor3::win32
