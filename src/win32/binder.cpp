#include "win32/binder.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

#include "ui/change_marking.h"
#include "win32/port_text.h"

namespace vor3::win32 {

using port_text::narrow;
using port_text::wide;

LRESULT CALLBACK edit_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK spin_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK combo_edit_proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

namespace {

constexpr std::uint32_t kSystemFlag = 0x80000000u;
constexpr WORD kFirstMenuCommand = 40000;

std::wstring window_text(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

void set_text(HWND window, const std::string& utf8) {
    const std::wstring text = wide(utf8);
    if (window_text(window) != text) SetWindowTextW(window, text.c_str());
}

// Visible and inside frames that are: a window's own visibility is that
// of its top-level window, which its view shows and hides.
bool effectively_visible(const form::Control& c) {
    for (const form::Control* p = &c; p && !dynamic_cast<const form::Window*>(p); p = p->parent())
        if (!p->visible()) return false;
    return true;
}

void sync_state(const form::Control& c, HWND w) {
    const bool enabled = c.effectively_enabled();
    if ((IsWindowEnabled(w) != FALSE) != enabled) EnableWindow(w, enabled);
    const bool shown = effectively_visible(c);
    if (((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0) != shown) ShowWindow(w, shown ? SW_SHOWNA : SW_HIDE);
}

// The caret and selection of an edit as byte offsets into the model's
// UTF-8 text (the edit counts UTF-16 units).
std::pair<std::size_t, std::size_t> selection_of(HWND edit, const std::string& text) {
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::wstring w = wide(text);
    const auto bytes = [&](DWORD units) { return narrow(w.substr(0, std::min<std::size_t>(units, w.size()))).size(); };
    return {bytes(from), bytes(to) - bytes(from)};
}

void place_caret(HWND edit, const std::string& text, std::size_t offset) {
    const auto units = static_cast<WPARAM>(wide(text.substr(0, offset)).size());
    SendMessageW(edit, EM_SETSEL, units, static_cast<LPARAM>(units));
}

std::string clipboard_text(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = narrow(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Leaving a field for another control of the same window; a message box
// or another window taking the focus is not the user leaving it.
bool left_for_own_control(HWND from, HWND to) { return to && GetAncestor(to, GA_ROOT) == GetAncestor(from, GA_ROOT); }

struct FieldRef {
    Binder* binder;
    form::TextBox* box;
    int wheel_turned = 0;  // short of a notch
};

}  // namespace

COLORREF to_colorref(std::uint32_t color) {
    if (color & kSystemFlag) return GetSysColor(static_cast<int>(color & 0xFFu));
    return color & 0x00FFFFFFu;
}

void guarded(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vor3: unhandled error in a window event: %s\n", e.what());
    }
}

LRESULT CALLBACK view_window_proc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (target && target->message(window, msg, wp, lp, result)) return result;
    return DefWindowProcW(window, msg, wp, lp);
}

Binder::~Binder() {
    for (form::Control* c : hooked_) c->changed = nullptr;
    for (auto& [color, b] : brushes_) DeleteObject(b);
    if (menu_.window && IsWindow(menu_.window)) {
        HMENU bar = GetMenu(menu_.window);
        SetMenu(menu_.window, nullptr);
        if (bar) DestroyMenu(bar);
    }
}

void Binder::custom(form::Control& control, std::function<void()> sync) {
    hooked_.push_back(&control);
    if (!syncs_.count(&control)) order_.push_back(&control);
    syncs_[&control] = sync;
    control.changed = [this, sync] {
        if (!held_) sync();
    };
    sync();
}

Binder::Bound& Binder::bind(form::Control& control, HWND window, std::function<void()> sync) {
    custom(control, [this, &control, window, sync = std::move(sync)] {
        sync();
        show_tip(window, control.tool_tip());
    });
    Bound& b = windows_[window];
    b.control = &control;
    return b;
}

void Binder::pass_state_on(const form::Control& c) {
    const std::pair<bool, bool> now{c.effectively_enabled(), effectively_visible(c)};
    const auto it = passed_.find(&c);
    if (it != passed_.end() && it->second == now) return;
    passed_[&c] = now;
    if (it != passed_.end()) sync_all();
}

void Binder::show_tip(HWND window, const std::string& tip) {
    const auto shown = tips_shown_.find(window);
    if (shown == tips_shown_.end() ? tip.empty() : shown->second == tip) return;
    HWND root = GetAncestor(window, GA_ROOT);
    if (!root) return;
    HWND& tips = tip_windows_[root];
    if (!tips) {
        tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        // A width makes the tip break at its line ends.
        SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 480);
        SendMessageW(tips, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    }
    std::wstring text = wide(tip);
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(window);
    info.uId = reinterpret_cast<UINT_PTR>(window);
    info.lpszText = text.data();
    SendMessageW(tips, shown == tips_shown_.end() ? TTM_ADDTOOLW : TTM_UPDATETIPTEXTW, 0,
                 reinterpret_cast<LPARAM>(&info));
    tips_shown_[window] = tip;
}

std::string Binder::tip_of(HWND window) const {
    HWND root = GetAncestor(window, GA_ROOT);
    const auto it = tip_windows_.find(root);
    if (it == tip_windows_.end()) return {};
    wchar_t text[1024] = {};
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = GetParent(window);
    info.uId = reinterpret_cast<UINT_PTR>(window);
    info.lpszText = text;
    SendMessageW(it->second, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
    return narrow(text);
}

void Binder::sync_all() {
    if (syncing_all_) return;
    syncing_all_ = true;
    sync_states_drawn_once();
    for (form::Control* c : order_) syncs_[c]();
    syncing_all_ = false;
}

void Binder::sync_states_drawn_once() {
    // A button or an edit draws itself at once when it is enabled or
    // disabled: a whole window turned for a transfer would be drawn control
    // by control, a server round trip each under wine (a tenth of a read).
    // Where many change, their window is drawn once, afterwards.
    constexpr int kDrawnOnceFrom = 8;
    std::map<HWND, std::vector<std::pair<const form::Control*, HWND>>> changing;
    for (const auto& [w, b] : windows_) {
        if (!b.control) continue;
        const bool enabled = b.control->effectively_enabled(), shown = effectively_visible(*b.control);
        if ((IsWindowEnabled(w) != FALSE) == enabled && ((GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0) == shown)
            continue;
        HWND root = GetAncestor(w, GA_ROOT);
        // A view's own window shows and hides by its view.
        if (root && root != w) changing[root].emplace_back(b.control, w);
    }
    for (const auto& [root, controls] : changing) {
        // Not drawing a window clears its WS_VISIBLE until drawing resumes.
        const bool hold_drawing = controls.size() >= kDrawnOnceFrom && IsWindowVisible(root);
        if (hold_drawing) SendMessageW(root, WM_SETREDRAW, FALSE, 0);
        for (const auto& [c, w] : controls) sync_state(*c, w);
        if (!hold_drawing) continue;
        SendMessageW(root, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(root, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void Binder::plain(form::Control& c, HWND w) {
    bind(c, w, [&c, w] { sync_state(c, w); });
}

void Binder::frame(form::Container& c, HWND box) {
    bind(c, box, [this, &c, box] {
        sync_state(c, box);
        set_text(box, c.caption());
        pass_state_on(c);
    });
}

void Binder::label(form::Control& c, HWND w) {
    Bound& b = bind(c, w, [&c, w] {
        sync_state(c, w);
        set_text(w, c.caption());
        InvalidateRect(w, nullptr, TRUE);
    });
    b.text_color = [&c] { return to_colorref(c.fore_color()); };
}

void Binder::mark_row(form::Control& marked, form::Control& label_control, HWND w) {
    // A check box has no text of its own to turn red: its mark shows on
    // the label that names its row.
    windows_[w].text_color = [&marked, &label_control] {
        return to_colorref(ui::is_marked(marked) ? form::kChangeMark : label_control.fore_color());
    };
    auto repaint = [w](std::function<void()> first) {
        return [first, w] {
            if (first) first();
            InvalidateRect(w, nullptr, TRUE);
        };
    };
    marked.changed = repaint(marked.changed);
    syncs_[&marked] = repaint(syncs_[&marked]);
    InvalidateRect(w, nullptr, TRUE);
}

void Binder::text_box(form::TextBox& c, HWND edit) {
    Bound& b = bind(c, edit, [&c, edit] {
        sync_state(c, edit);
        set_text(edit, c.text());
        const bool read_only = (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0;
        if (read_only != c.read_only()) SendMessageW(edit, EM_SETREADONLY, c.read_only(), 0);
        InvalidateRect(edit, nullptr, TRUE);
    });
    b.text_color = [&c] { return to_colorref(c.fore_color()); };
    b.back_color = [&c] { return to_colorref(c.shown_back_color()); };
    auto* ref = new FieldRef{this, &c};
    SetWindowSubclass(edit, edit_proc, 1, reinterpret_cast<DWORD_PTR>(ref));
}

void Binder::button(form::Button& c, HWND w) {
    Bound& b = bind(c, w, [&c, w] {
        sync_state(c, w);
        set_text(w, c.caption());
    });
    b.on_command = [&c](UINT code) {
        if (code == BN_CLICKED) guarded([&c] { c.press(); });
    };
}

void Binder::check_box(form::CheckBox& c, HWND w) {
    auto sync = [&c, w] {
        sync_state(c, w);
        set_text(w, c.caption());
        const WPARAM state = c.value() == form::kGrayed ? BST_INDETERMINATE : c.value() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(w, BM_GETCHECK, 0, 0)) != state) SendMessageW(w, BM_SETCHECK, state, 0);
    };
    Bound& b = bind(c, w, sync);
    // A box not read is ticked by a click, as one that is cleared.
    b.on_command = [&c, sync](UINT code) {
        if (code != BN_CLICKED) return;
        guarded([&c] { c.set_value(c.value() == 1 ? 0 : 1); });
        sync();  // the model may have refused or changed the value back
    };
    b.text_color = [&c] { return to_colorref(c.fore_color()); };
}

namespace {

struct ComboRef {
    form::ComboBox* combo;
    HWND window;
    bool typed = false;
};

}  // namespace

LRESULT CALLBACK combo_edit_proc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* ref = reinterpret_cast<ComboRef*>(data);
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter confirms the typed entry rather than pressing a default button.
        if (lp && reinterpret_cast<const MSG*>(lp)->message == WM_KEYDOWN && wp == VK_RETURN)
            return DefSubclassProc(edit, msg, wp, lp) | DLGC_WANTALLKEYS;
        break;
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            if (ref->typed) {
                ref->typed = false;
                const std::string text = narrow(window_text(edit));
                guarded([ref, &text] { ref->combo->enter_text(text); });
            }
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == VK_RETURN) return 0;
        ref->typed = true;
        break;
    case WM_KILLFOCUS:
        // Leaving the list, except for its own open list, confirms a typed text.
        if (ref->typed && reinterpret_cast<HWND>(wp) != ref->window &&
            left_for_own_control(edit, reinterpret_cast<HWND>(wp))) {
            ref->typed = false;
            const std::string text = narrow(window_text(edit));
            guarded([ref, &text] { ref->combo->enter_text(text); });
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, combo_edit_proc, 1);
        delete ref;
        break;
    default: break;
    }
    return DefSubclassProc(edit, msg, wp, lp);
}

void Binder::combo_box(form::ComboBox& c, HWND combo) {
    ComboRef* ref = nullptr;
    if (c.editable) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        ref = new ComboRef{&c, combo};
        SetWindowSubclass(info.hwndItem, combo_edit_proc, 1, reinterpret_cast<DWORD_PTR>(ref));
        windows_[info.hwndItem].control = &c;
        windows_[info.hwndItem].text_color = [&c] { return to_colorref(c.fore_color()); };
    }
    auto sync = [&c, combo, ref] {
        sync_state(c, combo);
        const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        bool same = count == c.list_count();
        for (int i = 0; same && i < count; ++i) {
            const auto n = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring item(static_cast<std::size_t>(n) + 1, L'\0');
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            item.resize(static_cast<std::size_t>(n));
            same = item == wide(c.items()[static_cast<std::size_t>(i)]);
        }
        if (!same) {
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            for (const auto& item : c.items())
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
        }
        // A text the user is typing stays until it is entered.
        const bool typing = ref && ref->typed;
        if (!same || !typing) {
            if (SendMessageW(combo, CB_GETCURSEL, 0, 0) != c.list_index() || c.list_index() < 0)
                SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(c.list_index()), 0);
        }
        InvalidateRect(combo, nullptr, TRUE);
    };
    Bound& b = bind(c, combo, sync);
    b.text_color = [&c] { return to_colorref(c.fore_color()); };
    b.on_command = [&c, combo, ref, sync](UINT code) {
        if (code == CBN_DROPDOWN) {
            guarded([&c] { c.drop_down(); });
            sync();
        } else if (code == CBN_SELCHANGE) {
            if (ref) ref->typed = false;
            const auto i = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
            if (i >= 0 && i < c.list_count()) guarded([&c, i] { c.set_list_index(i); });
            sync();
        }
    };
}

void Binder::list_box(form::ListBox& c, HWND list) {
    auto sync = [&c, list] {
        sync_state(c, list);
        const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        bool same = count == c.list_count();
        for (int i = 0; same && i < count; ++i) {
            const auto n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring item(static_cast<std::size_t>(n) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            item.resize(static_cast<std::size_t>(n));
            same = item == wide(c.items()[static_cast<std::size_t>(i)]);
        }
        if (!same) {
            SendMessageW(list, LB_RESETCONTENT, 0, 0);
            for (const auto& item : c.items())
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
        }
        if (SendMessageW(list, LB_GETCURSEL, 0, 0) != c.list_index())
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(c.list_index()), 0);
    };
    Bound& b = bind(c, list, sync);
    b.on_command = [&c, list, sync](UINT code) {
        if (code != LBN_SELCHANGE) return;
        const auto i = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
        if (i >= 0 && i < c.list_count()) guarded([&c, i] { c.set_list_index(i); });
        sync();
    };
}

namespace {

std::wstring list_view_text(HWND list, int row, int column) {
    wchar_t buffer[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

}  // namespace

void Binder::grid(form::Grid& c, HWND list) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    auto syncing = std::make_shared<bool>(false);
    auto sync = [&c, list, syncing] {
        *syncing = true;
        sync_state(c, list);
        HWND header = ListView_GetHeader(list);
        const int columns = Header_GetItemCount(header);
        const auto wanted = static_cast<int>(c.headers().size());
        for (int i = columns; i < wanted; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 100;
            std::wstring text = wide(c.headers()[static_cast<std::size_t>(i)]);
            column.pszText = text.data();
            SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        for (int i = columns; i > wanted; --i) ListView_DeleteColumn(list, i - 1);
        for (int i = 0; i < wanted; ++i) {
            wchar_t now[128] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = now;
            column.cchTextMax = 128;
            SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
            std::wstring text = wide(c.headers()[static_cast<std::size_t>(i)]);
            if (text != now) {
                column.pszText = text.data();
                SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
            }
        }
        const auto rows = static_cast<int>(c.rows().size());
        while (ListView_GetItemCount(list) > rows) ListView_DeleteItem(list, ListView_GetItemCount(list) - 1);
        for (int r = 0; r < rows; ++r) {
            if (r >= ListView_GetItemCount(list)) {
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = r;
                wchar_t empty[] = L"";
                item.pszText = empty;
                SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            }
            const auto& cells = c.rows()[static_cast<std::size_t>(r)];
            for (int k = 0; k < wanted && k < static_cast<int>(cells.size()); ++k) {
                std::wstring text = wide(cells[static_cast<std::size_t>(k)]);
                if (list_view_text(list, r, k) == text) continue;
                LVITEMW item{};
                item.iSubItem = k;
                item.pszText = text.data();
                SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
            }
            const bool chosen = std::find(c.selected().begin(), c.selected().end(), r) != c.selected().end();
            if ((ListView_GetItemState(list, r, LVIS_SELECTED) != 0) != chosen)
                ListView_SetItemState(list, r, chosen ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
        // Each column as wide as its header or its widest cell.
        const auto width_of = [list](const std::string& text) {
            return static_cast<int>(
                SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide(text).c_str())));
        };
        for (int k = 0; k < wanted; ++k) {
            int widest = width_of(c.headers()[static_cast<std::size_t>(k)]) + 16;
            for (const auto& cells : c.rows())
                if (k < static_cast<int>(cells.size()))
                    widest = std::max(widest, width_of(cells[static_cast<std::size_t>(k)]) + 14);
            if (ListView_GetColumnWidth(list, k) != widest) ListView_SetColumnWidth(list, k, widest);
        }
        *syncing = false;
    };
    Bound& b = bind(c, list, sync);
    b.on_command = [&c, list, syncing](UINT code) {
        if (*syncing) return;
        if (code == LVN_ITEMCHANGED) {
            std::vector<int> chosen;
            for (int r = ListView_GetNextItem(list, -1, LVNI_SELECTED); r >= 0;
                 r = ListView_GetNextItem(list, r, LVNI_SELECTED))
                chosen.push_back(r);
            guarded([&c, &chosen] { c.select(chosen); });
        } else if (code == NM_DBLCLK) {
            const int row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
            if (row >= 0) guarded([&c, row] { c.double_click(row); });
        }
    };
}

void Binder::progress(form::ProgressBar& c, HWND bar) {
    bind(c, bar, [&c, bar] {
        sync_state(c, bar);
        SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(c.min()), c.max());
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(c.value()), 0);
    });
}

void Binder::tab(form::TabControl& c, HWND tabs, std::vector<HWND> pages) {
    auto sync = [&c, tabs, pages] {
        sync_state(c, tabs);
        for (std::size_t i = 0; i < pages.size() && i < c.tab_captions.size(); ++i) {
            std::wstring text = wide(c.tab_captions[i]);
            wchar_t now[256] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = now;
            item.cchTextMax = 255;
            SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
            if (text != now) {
                item.pszText = text.data();
                SendMessageW(tabs, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
            }
        }
        if (c.tab() >= 0 && c.tab() < static_cast<int>(pages.size())) {
            if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != c.tab())
                SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(c.tab()), 0);
            for (std::size_t i = 0; i < pages.size(); ++i)
                ShowWindow(pages[i], static_cast<int>(i) == c.tab() && effectively_visible(c) ? SW_SHOWNA : SW_HIDE);
        }
    };
    Bound& b = bind(c, tabs, sync);
    b.on_command = [&c, tabs, sync](UINT code) {
        if (code != TCN_SELCHANGE) return;
        const auto i = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
        guarded([&c, i] { c.set_tab(i); });
        sync();
    };
}

namespace {

struct SpinRef {
    form::UpDown* spin;
    bool held = false;
};

}  // namespace

LRESULT CALLBACK spin_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* ref = reinterpret_cast<SpinRef*>(data);
    form::UpDown& c = *ref->spin;
    const auto x = static_cast<double>(static_cast<short>(LOWORD(lp)));
    const auto y = static_cast<double>(static_cast<short>(HIWORD(lp)));
    auto release = [ref, &c] {
        if (!ref->held) return;
        ref->held = false;
        if (c.on_mouse_up) guarded([&c] { c.on_mouse_up(c.index()); });
    };
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The control's own repeat is not used: holding the arrow repeats
        // by the model's timer.
        SetCapture(w);
        ref->held = true;
        const bool up = y < c.height / 2;
        if (c.on_mouse_down) guarded([&] { c.on_mouse_down(c.index(), x, y); });
        auto& step = up ? c.on_up : c.on_down;
        if (step) guarded([&] { step(c.index()); });
        return 0;
    }
    case WM_MOUSEMOVE:
        if (ref->held && c.on_mouse_move) guarded([&] { c.on_mouse_move(c.index(), x, y); });
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == w) ReleaseCapture();
        release();
        return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: release(); break;
    case WM_ENABLE:
        if (!wp) release();
        break;
    case WM_SIZE:
        c.width = LOWORD(lp);
        c.height = HIWORD(lp);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(w, spin_proc, 1);
        delete ref;
        break;
    default: break;
    }
    return DefSubclassProc(w, msg, wp, lp);
}

void Binder::spin(form::UpDown& c, HWND w) {
    bind(c, w, [&c, w] { sync_state(c, w); });
    RECT r{};
    GetClientRect(w, &r);
    c.width = r.right;
    c.height = r.bottom;
    SetWindowSubclass(w, spin_proc, 1, reinterpret_cast<DWORD_PTR>(new SpinRef{&c}));
}

void Binder::link(form::LinkLabel& c, HWND w) {
    Bound& b = bind(c, w, [&c, w] {
        sync_state(c, w);
        std::string markup = "<a>";
        for (char ch : c.caption()) {
            if (ch == '<')
                markup += "&lt;";
            else if (ch == '>')
                markup += "&gt;";
            else if (ch == '&')
                markup += "&amp;";
            else
                markup += ch;
        }
        set_text(w, markup + "</a>");
    });
    b.on_command = [&c](UINT code) {
        if (code == NM_CLICK || code == NM_RETURN) guarded([&c] { c.press(); });
    };
}

LRESULT CALLBACK edit_proc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* ref = reinterpret_cast<FieldRef*>(data);
    form::TextBox& box = *ref->box;
    // A key for the model: it replaces the selection; the field is
    // redrawn from the model's text.
    auto type = [&](int key) {
        const auto [start, length] = selection_of(edit, box.text());
        const std::string before = box.text();
        std::size_t caret = start;
        guarded([&] { caret = box.type_key(key, start, length); });
        // A refused key changes nothing, not even the selection the next
        // key is to replace.
        if (box.text() != before || caret != start) place_caret(edit, box.text(), caret);
    };
    auto paste = [&] {
        const auto [start, length] = selection_of(edit, box.text());
        const std::string text = clipboard_text(edit);
        std::size_t caret = start;
        guarded([&] { caret = box.paste(text, start, length); });
        place_caret(edit, box.text(), caret);
    };
    switch (msg) {
    case WM_CHAR:
        if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) break;
        switch (wp) {
        case 1:  // Ctrl+A
        case 3:  // Ctrl+C
            break;
        case 22: paste(); return 0;  // Ctrl+V
        case 8: type(8); return 0;
        default:
            // Other control characters (Enter, Escape, Tab, undo, cut)
            // would edit the field behind the model's back, or beep.
            if (wp < 32 || wp == 127) return 0;
            type(static_cast<int>(wp));
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) break;
        if (wp == VK_UP || wp == VK_DOWN) {
            guarded([&box, wp] { box.key_down(wp == VK_UP ? form::kKeyUp : form::kKeyDown); });
            return 0;
        }
        if (wp == VK_DELETE) {
            type(127);
            return 0;
        }
        if (wp == VK_INSERT && (GetKeyState(VK_SHIFT) & 0x8000)) {
            paste();
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        if (!box.on_wheel) break;
        // Whole notches; a fine wheel's small turns add up to one.
        ref->wheel_turned += GET_WHEEL_DELTA_WPARAM(wp);
        const int notches = ref->wheel_turned / WHEEL_DELTA;
        ref->wheel_turned -= notches * WHEEL_DELTA;
        guarded([&box, notches] { box.wheel(notches); });
        return 0;
    }
    case WM_PASTE: paste(); return 0;
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case WM_CONTEXTMENU:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION: return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return 0;
    case WM_KILLFOCUS:
        if (left_for_own_control(edit, reinterpret_cast<HWND>(wp))) guarded([&box] { box.lose_focus(); });
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, edit_proc, 1);
        delete ref;
        break;
    default: break;
    }
    return DefSubclassProc(edit, msg, wp, lp);
}

void Binder::menu_bar(HWND window, form::Control& owner, std::vector<form::MenuItem*> items,
                      std::function<std::string(const form::MenuItem&)> shortcut) {
    menu_.window = window;
    menu_.owner = &owner;
    menu_.items = std::move(items);
    menu_.shortcut = std::move(shortcut);
    WORD next = kFirstMenuCommand;
    for (form::MenuItem* top : menu_.items) {
        for (form::MenuItem* item : top->children) {
            menu_.commands[next] = item;
            menu_.ids[item] = next++;
        }
        menu_.commands[next] = top;
        menu_.ids[top] = next++;
    }
    for (form::MenuItem* top : menu_.items) {
        custom(*top, [this] { build_menu(); });
        for (form::MenuItem* item : top->children) custom(*item, [this] { build_menu(); });
    }
}

WORD Binder::command_of(const form::MenuItem& item) const {
    const auto it = menu_.ids.find(&item);
    return it == menu_.ids.end() ? 0 : it->second;
}

void Binder::build_menu() {
    if (!menu_.window) return;
    // The window's own state greys the menu bar too.
    const bool window_enabled = menu_.owner->enabled();
    std::string state = window_enabled ? "1" : "0";
    for (form::MenuItem* top : menu_.items) {
        state += top->caption() + (top->visible() ? "v" : "h") + (top->enabled() ? "e" : "d");
        for (form::MenuItem* item : top->children)
            state += "|" + item->caption() + (item->visible() ? "v" : "h") + (item->enabled() ? "e" : "d") +
                     (menu_.shortcut ? menu_.shortcut(*item) : std::string());
    }
    if (state == menu_.shown) return;
    HMENU shown_bar = GetMenu(menu_.window);
    const bool only_window_state =
        shown_bar && !menu_.shown.empty() && state.compare(1, std::string::npos, menu_.shown, 1) == 0;
    menu_.shown = state;
    if (only_window_state) {
        // Greyed in place: a new bar would make the window lay out its
        // frame anew, at every transfer's start and end.
        UINT position = 0;
        for (form::MenuItem* top : menu_.items) {
            if (!top->visible()) continue;
            EnableMenuItem(shown_bar, position++,
                           MF_BYPOSITION | (top->enabled() && window_enabled ? MF_ENABLED : MF_GRAYED));
        }
        DrawMenuBar(menu_.window);
        return;
    }
    HMENU bar = CreateMenu();
    for (form::MenuItem* top : menu_.items) {
        if (!top->visible()) continue;
        const UINT grey = top->enabled() && window_enabled ? 0 : MF_GRAYED;
        if (top->children.empty()) {
            AppendMenuW(bar, MF_STRING | grey, menu_.ids[top], wide(top->caption()).c_str());
            continue;
        }
        HMENU popup = CreatePopupMenu();
        for (form::MenuItem* item : top->children) {
            if (!item->visible()) continue;
            if (item->caption() == "-") {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            std::string text = item->caption();
            const std::string keys = menu_.shortcut ? menu_.shortcut(*item) : std::string();
            if (!keys.empty()) text += "\t" + keys;
            AppendMenuW(popup, MF_STRING | (item->enabled() ? 0 : MF_GRAYED), menu_.ids[item], wide(text).c_str());
        }
        AppendMenuW(bar, MF_POPUP | grey, reinterpret_cast<UINT_PTR>(popup), wide(top->caption()).c_str());
    }
    HMENU old = GetMenu(menu_.window);
    SetMenu(menu_.window, bar);
    if (old) DestroyMenu(old);
    DrawMenuBar(menu_.window);
}

HBRUSH Binder::brush(COLORREF color) {
    auto it = brushes_.find(color);
    if (it == brushes_.end()) it = brushes_.emplace(color, CreateSolidBrush(color)).first;
    return it->second;
}

bool Binder::color(HDC dc, HWND window, LRESULT& result) {
    const auto it = windows_.find(window);
    if (it == windows_.end() || !it->second.text_color) return false;
    const Bound& b = it->second;
    SetTextColor(dc, b.text_color());
    const COLORREF back = b.back_color ? b.back_color() : GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, back);
    result = reinterpret_cast<LRESULT>(b.back_color ? brush(back) : GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

bool Binder::message(HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND: {
        if (lp == 0 && LOWORD(wp) == IDOK) {
            // Enter: the view's windows are no dialogs, so no button turns
            // default with the focus; Enter presses the focused push button.
            HWND focus = GetFocus();
            const auto it = windows_.find(focus);
            const auto style = GetWindowLongW(focus, GWL_STYLE);
            wchar_t cls[16] = {};
            GetClassNameW(focus, cls, 16);
            if (it == windows_.end() || !it->second.on_command || _wcsicmp(cls, L"Button") != 0 ||
                (style & BS_TYPEMASK) != BS_PUSHBUTTON)
                return false;
            const auto on_command = it->second.on_command;
            on_command(BN_CLICKED);
            result = 0;
            return true;
        }
        if (lp == 0) {
            // A menu item or its accelerator.
            const auto it = menu_.commands.find(LOWORD(wp));
            if (it == menu_.commands.end()) return false;
            form::MenuItem* item = it->second;
            guarded([item] { item->press(); });
            result = 0;
            return true;
        }
        const auto window = reinterpret_cast<HWND>(lp);
        const auto it = windows_.find(window);
        if (it == windows_.end() || !it->second.on_command) return false;
        const auto on_command = it->second.on_command;  // the handler may rebind
        on_command(HIWORD(wp));
        result = 0;
        return true;
    }
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        const auto it = windows_.find(hdr->hwndFrom);
        if (it == windows_.end() || !it->second.on_command) return false;
        const auto on_command = it->second.on_command;
        on_command(hdr->code);
        result = 0;
        return hdr->code == TCN_SELCHANGE || hdr->code == NM_CLICK || hdr->code == NM_RETURN ||
               hdr->code == LVN_ITEMCHANGED || hdr->code == NM_DBLCLK;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return color(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), result);
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (m->CtlType != ODT_COMBOBOX) return false;
        m->itemHeight = static_cast<UINT>(item_height_);
        result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (d->CtlType != ODT_COMBOBOX) return false;
        const auto it = windows_.find(d->hwndItem);
        const bool selected =
            (d->itemState & ODS_SELECTED) && !(d->itemState & ODS_COMBOBOXEDIT && GetFocus() != d->hwndItem);
        const bool disabled = (d->itemState & ODS_DISABLED) != 0;
        const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        COLORREF text = selected                                        ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                        : it != windows_.end() && it->second.text_color ? it->second.text_color()
                                                                        : GetSysColor(COLOR_WINDOWTEXT);
        if (disabled) text = GetSysColor(COLOR_GRAYTEXT);
        // A system colour for button text is the list's own text colour.
        if (!selected && !disabled && it != windows_.end() && it->second.control &&
            (it->second.control->fore_color() & kSystemFlag))
            text = GetSysColor(COLOR_WINDOWTEXT);
        FillRect(d->hDC, &d->rcItem, brush(back));
        if (d->itemID != static_cast<UINT>(-1)) {
            const auto n = SendMessageW(d->hwndItem, CB_GETLBTEXTLEN, d->itemID, 0);
            std::wstring item(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
            SendMessageW(d->hwndItem, CB_GETLBTEXT, d->itemID, reinterpret_cast<LPARAM>(item.data()));
            item.resize(static_cast<std::size_t>(n > 0 ? n : 0));
            SetBkMode(d->hDC, TRANSPARENT);
            SetTextColor(d->hDC, text);
            RECT r = d->rcItem;
            r.left += 3;
            DrawTextW(d->hDC, item.c_str(), static_cast<int>(item.size()), &r,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (d->itemState & ODS_FOCUS) DrawFocusRect(d->hDC, &d->rcItem);
        result = TRUE;
        return true;
    }
    default: return false;
    }
}

}  // namespace vor3::win32
