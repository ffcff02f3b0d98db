#include "win32/widget_factory.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/binder.h"
#include "win32/port_text.h"

namespace vor3::win32 {

using port_text::wide;

Fonts::Fonts(UINT screen_dpi) { make(screen_dpi); }

void Fonts::make(UINT screen_dpi) {
    dpi = screen_dpi ? screen_dpi : 96;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW face = metrics.lfMessageFont;
    normal = CreateFontIndirectW(&face);
    face.lfWeight = FW_BOLD;
    bold = CreateFontIndirectW(&face);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, normal);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    line = tm.tmHeight;
    SIZE zero{};
    GetTextExtentPoint32W(dc, L"0", 1, &zero);
    digit = zero.cx;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

void Fonts::set_dpi(UINT screen_dpi) {
    if (normal_before_) DeleteObject(normal_before_);
    if (bold_before) DeleteObject(bold_before);
    normal_before_ = normal;
    bold_before = bold;
    make(screen_dpi);
}

Fonts::~Fonts() {
    for (HFONT font : {normal, bold, normal_before_, bold_before})
        if (font) DeleteObject(font);
}

SIZE fit_client(HWND window, layout::Size need, const POINT* at) {
    RECT outer{0, 0, need.w, need.h};
    AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                             static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), GetDpiForWindow(window));
    SIZE size{outer.right - outer.left, outer.bottom - outer.top};
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at ? 0 : SWP_NOMOVE);
    SetWindowPos(window, nullptr, at ? at->x : 0, at ? at->y : 0, size.cx, size.cy, flags);
    // The frame Windows drew may differ from the one it foretold (a menu
    // bar that wraps, a theme's border): the client area decides.
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != need.w || client.bottom != need.h) {
        size.cx += need.w - client.right;
        size.cy += need.h - client.bottom;
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    return size;
}

void register_view_classes() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                                       ICC_PROGRESS_CLASS | ICC_LINK_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = view_window_proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = kPanelClass;
    RegisterClassExW(&cls);
}

HWND WidgetFactory::create(const wchar_t* cls, const std::string& name, DWORD style, DWORD ex_style, Kind kind,
                           const form::Control* control, int chars) {
    HWND w =
        CreateWindowExW(ex_style, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(next_id_++)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(w, WM_SETFONT,
                 reinterpret_cast<WPARAM>(kind == Kind::Heading || kind == Kind::Frame ? fonts_.bold : fonts_.normal),
                 FALSE);
    by_name_[name] = w;
    made_[w] = Made{kind, chars, {}, control, nullptr};
    return w;
}

HWND WidgetFactory::make(const wchar_t* window_class, const std::string& name, DWORD style, DWORD ex_style) {
    return create(window_class, name, style, ex_style, Kind::Other, nullptr);
}

HWND WidgetFactory::label(form::Control& c, const std::string& name) {
    HWND w = create(L"STATIC", name, SS_LEFT | SS_NOPREFIX, 0, Kind::Label, &c);
    binder_.label(c, w);
    return w;
}

HWND WidgetFactory::row_label(form::Control& c, form::Control& marked, const std::string& name) {
    HWND w = label(c, name);
    binder_.mark_row(marked, c, w);
    return w;
}

HWND WidgetFactory::value_label(form::Label& c, const std::string& name, int chars) {
    HWND w = create(L"STATIC", name, SS_RIGHT | SS_NOPREFIX | SS_CENTERIMAGE, WS_EX_STATICEDGE, Kind::Value, &c, chars);
    binder_.label(c, w);
    return w;
}

HWND WidgetFactory::heading(form::Label& c, const std::string& name) {
    HWND w = create(L"STATIC", name, SS_LEFT | SS_NOPREFIX, 0, Kind::Heading, &c);
    binder_.label(c, w);
    return w;
}

HWND WidgetFactory::field(form::TextBox& c, const std::string& name, int chars, bool read_only) {
    // Measured values are shown, never entered: no caret, no tab stop.
    const DWORD style = ES_RIGHT | ES_AUTOHSCROLL | (read_only ? ES_READONLY : WS_TABSTOP);
    HWND w = create(L"EDIT", name, style, WS_EX_CLIENTEDGE, Kind::Field, &c, chars);
    binder_.text_box(c, w);
    return w;
}

HWND WidgetFactory::spin(form::UpDown& c, const std::string& name) {
    HWND w = create(UPDOWN_CLASSW, name, 0, 0, Kind::Spin, &c);
    binder_.spin(c, w);
    return w;
}

HWND WidgetFactory::check(form::CheckBox& c, const std::string& name) {
    HWND w = create(L"BUTTON", name, BS_3STATE | WS_TABSTOP, 0, Kind::Check, &c);
    binder_.check_box(c, w);
    return w;
}

HWND WidgetFactory::combo(form::ComboBox& c, const std::string& name, int chars) {
    const DWORD style =
        WS_TABSTOP | WS_VSCROLL |
        (c.editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
    HWND w = create(L"COMBOBOX", name, style, 0, Kind::Combo, &c, chars);
    made_[w].combo = &c;
    // The open list is as wide as its longest entry.
    binder_.combo_box(c, w);
    return w;
}

HWND WidgetFactory::list(form::ListBox& c, const std::string& name, int rows) {
    HWND w = create(L"LISTBOX", name, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                    Kind::List, &c, rows);
    made_[w].combo = &c;
    binder_.list_box(c, w);
    return w;
}

HWND WidgetFactory::frame(form::Container& c, const std::string& name) {
    HWND w = create(L"BUTTON", name, BS_GROUPBOX, 0, Kind::Frame, &c);
    binder_.frame(c, w);
    return w;
}

HWND WidgetFactory::button(form::Button& c, const std::string& name) {
    HWND w = create(L"BUTTON", name, BS_PUSHBUTTON | WS_TABSTOP, 0, Kind::Button, &c);
    binder_.button(c, w);
    return w;
}

HWND WidgetFactory::link(form::LinkLabel& c, const std::string& name) {
    HWND w = create(WC_LINK, name, WS_TABSTOP, 0, Kind::Link, &c);
    binder_.link(c, w);
    return w;
}

HWND WidgetFactory::progress(form::ProgressBar& c, const std::string& name, int width) {
    HWND w = create(PROGRESS_CLASSW, name, 0, 0, Kind::Progress, &c, width);
    binder_.progress(c, w);
    return w;
}

HWND WidgetFactory::find(const std::string& name) const {
    const auto it = by_name_.find(name);
    return it == by_name_.end() ? nullptr : it->second;
}

layout::Size WidgetFactory::extent(HDC dc, HFONT font, const std::wstring& text, bool prefix) const {
    if (text.empty()) return {0, fonts_.line};
    SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | (prefix ? 0 : DT_NOPREFIX));
    return {r.right, std::max<int>(r.bottom, fonts_.line)};
}

void WidgetFactory::measure() {
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, fonts_.normal);
    for (auto& [w, made] : made_) {
        if (!made.control) continue;
        const std::wstring text = wide(made.control->caption());
        layout::Size s;
        switch (made.kind) {
        case Kind::Combo:
        case Kind::List:
            for (const auto& item : made.combo->items())
                s.w = std::max(s.w, extent(dc, fonts_.normal, wide(item), false).w);
            break;
        case Kind::Heading:
        case Kind::Frame: s = extent(dc, fonts_.bold, text, made.kind == Kind::Frame); break;
        case Kind::Button:
        case Kind::Check: s = extent(dc, fonts_.normal, text, true); break;
        case Kind::Label:
        case Kind::Value:
        case Kind::Link: s = extent(dc, fonts_.normal, text, false); break;
        default: break;
        }
        made.text.w = std::max(made.text.w, s.w);
        made.text.h = std::max(made.text.h, s.h);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

void WidgetFactory::refont() {
    for (auto& [w, made] : made_) {
        const auto had = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
        const HFONT font = had && had == fonts_.bold_before ? fonts_.bold : fonts_.normal;
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A drawn list asks its heights once, when it is made.
        if (made.kind == Kind::Combo && (GetWindowLongW(w, GWL_STYLE) & CBS_OWNERDRAWFIXED)) {
            for (const WPARAM part : {static_cast<WPARAM>(-1), WPARAM{0}})
                SendMessageW(w, CB_SETITEMHEIGHT, part, binder_.item_height());
        }
        made.text = {};
    }
}

layout::Size WidgetFactory::size(HWND w) const {
    const auto it = made_.find(w);
    if (it == made_.end()) return {};
    const Made& m = it->second;
    const int field_h = field_height();
    const int chars_w = m.chars * fonts_.digit + fonts_.scale(12);
    switch (m.kind) {
    case Kind::Label:
    case Kind::Heading:
    case Kind::Link: return {m.text.w + fonts_.scale(4), m.text.h};
    case Kind::Value:
    case Kind::Field: return {chars_w, field_h};
    case Kind::Spin: return {fonts_.scale(17), field_h};
    case Kind::Check: {
        const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, fonts_.dpi) + fonts_.scale(4);
        return {m.text.w ? box + fonts_.scale(4) + m.text.w : box, std::max(m.text.h, field_h - fonts_.scale(4))};
    }
    case Kind::Combo: {
        // A closed list's window is its field, whose height Windows sets.
        const int arrow = GetSystemMetricsForDpi(SM_CXVSCROLL, fonts_.dpi);
        RECT r{};
        GetWindowRect(w, &r);
        return {std::max(m.text.w + fonts_.scale(10), chars_w) + arrow, static_cast<int>(r.bottom - r.top)};
    }
    case Kind::List: {
        const auto item = static_cast<int>(SendMessageW(w, LB_GETITEMHEIGHT, 0, 0));
        return {
            std::max(m.text.w + GetSystemMetricsForDpi(SM_CXVSCROLL, fonts_.dpi) + fonts_.scale(10), fonts_.scale(320)),
            m.chars * item + fonts_.scale(4)};
    }
    case Kind::Button: return {std::max(m.text.w + fonts_.scale(24), fonts_.scale(75)), fonts_.scale(25)};
    case Kind::Frame: return {m.text.w + fonts_.scale(24), m.text.h};
    case Kind::Progress: return {fonts_.scale(m.chars), fonts_.scale(18)};
    case Kind::Other: return {};
    }
    return {};
}

layout::ItemPtr WidgetFactory::item(HWND w, bool centred) const {
    const auto it = made_.find(w);
    const bool list = it != made_.end() && it->second.kind == Kind::Combo;
    return layout::control(w, size(w), list ? fonts_.scale(200) : 0, centred);
}

layout::ItemPtr WidgetFactory::framed(HWND box, layout::ItemPtr inner) const {
    const int title = size(box).w;
    auto wide_enough = layout::column(0);
    wide_enough->add(layout::space({title, 0}));
    wide_enough->add(std::move(inner));
    return std::make_unique<layout::Frame>(box, std::move(wide_enough), fonts_.line + fonts_.scale(6), fonts_.scale(8));
}

}  // namespace vor3::win32
