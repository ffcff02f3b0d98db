#include "win32/dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <regex>

#include "form/frm_config.h"
#include "win32/binder.h"
#include "win32/port_text.h"
#include "win32/win32_clock.h"

namespace vor3::win32 {

using port_text::narrow;
using port_text::wide;

namespace {

Win32Clock* modal_clock = nullptr;
int modal_depth = 0;
UINT_PTR modal_timer = 0;

void CALLBACK tick_model(HWND, UINT, UINT_PTR, DWORD) {
    if (modal_clock) guarded([] { modal_clock->fire_due(); });
}

}  // namespace

void set_modal_clock(Win32Clock* clock) { modal_clock = clock; }

ModalTimers::ModalTimers() {
    if (modal_depth++ == 0) modal_timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, tick_model);
}

ModalTimers::~ModalTimers() {
    if (--modal_depth == 0 && modal_timer) {
        KillTimer(nullptr, modal_timer);
        modal_timer = 0;
    }
}

void Win32MessageBox::show(const std::string& text, const std::string& detail) {
    waiting_.emplace_back(text, detail);
    if (owner_) PostMessageW(owner_, kShowWaiting, 0, 0);
}

void Win32MessageBox::show_waiting() {
    // One box at a time; those that come while it shows follow it.
    if (showing_) return;
    showing_ = true;
    while (!waiting_.empty()) {
        const auto [text, detail] = waiting_.front();
        waiting_.pop_front();
        const std::wstring body = wide(detail.empty() ? text : text + "\n\n" + detail);
        const ModalTimers timers;
        ::MessageBoxW(owner_, body.c_str(), wide(form::kAppTitle).c_str(), MB_OK | MB_ICONWARNING);
    }
    showing_ = false;
}

bool Win32ConfirmDialog::confirm(const std::string& title, const std::string& text, const std::string& ok,
                                 const std::string& cancel) {
    const std::wstring t = wide(title), body = wide(text), yes = wide(ok), no = wide(cancel);
    const TASKDIALOG_BUTTON buttons[] = {{IDOK, yes.c_str()}, {IDCANCEL, no.c_str()}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner_;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = t.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = body.c_str();
    config.cButtons = 2;
    config.pButtons = buttons;
    config.nDefaultButton = IDOK;
    int pressed = IDCANCEL;
    const ModalTimers timers;
    if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
        // Without the common controls' task dialog: a plain question.
        pressed = ::MessageBoxW(owner_, body.c_str(), t.c_str(), MB_OKCANCEL | MB_ICONQUESTION);
    }
    return pressed == IDOK;
}

std::wstring file_filter(const std::string& filter) {
    static const std::regex pattern(R"(\(([^)]*)\))");
    std::smatch m;
    const std::string patterns = std::regex_search(filter, m, pattern) ? m[1].str() : "*.*";
    std::wstring out = wide(filter);
    out.push_back(L'\0');
    out += wide(patterns);
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

std::wstring filter_suffix(const std::string& filter) {
    static const std::regex suffix(R"(\*\.(\w+))");
    std::smatch m;
    return wide(std::regex_search(filter, m, suffix) ? m[1].str() : "txt");
}

std::optional<std::string> Win32FileDialog::ask(bool open, const std::string& filter, const std::string& folder,
                                                bool append) {
    const std::wstring filters = file_filter(filter), suffix = filter_suffix(filter);
    const std::wstring start = wide(folder.empty() ? last_folder_ : folder);
    std::wstring name(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filters.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    ofn.lpstrDefExt = suffix.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (open)
        ofn.Flags |= OFN_FILEMUSTEXIST;
    else if (!append)
        ofn.Flags |= OFN_OVERWRITEPROMPT;
    const ModalTimers timers;
    const BOOL chosen = open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!chosen) return std::nullopt;
    name.resize(wcslen(name.c_str()));
    const std::string path = narrow(name);
    const auto cut = path.find_last_of("\\/");
    if (cut != std::string::npos) last_folder_ = path.substr(0, cut);
    return path;
}

std::optional<std::string> Win32FileDialog::open_file(const std::string& filter) {
    return ask(true, filter, {}, false);
}

std::optional<std::string> Win32FileDialog::save_file(const std::string& filter) {
    return ask(false, filter, {}, false);
}

std::optional<std::string> Win32FileDialog::append_file(const std::string& filter, const std::string& folder) {
    return ask(false, filter, folder, true);
}

namespace {

bool shell_open(const std::string& what) {
    const auto done =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide(what).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return done > 32;
}

}  // namespace

bool Win32Desktop::open_document(const std::string& path) { return shell_open(path); }

bool Win32Desktop::open_link(const std::string& url) { return shell_open(url); }

form::ScreenSize Win32Screen::size() const { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void Win32Clipboard::set_text(const std::string& text) {
    std::wstring lines;
    for (const wchar_t ch : wide(text)) {
        if (ch == L'\n') lines += L'\r';
        lines += ch;
    }
    const std::size_t bytes = (lines.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return;
    if (void* at = GlobalLock(memory)) {
        std::memcpy(at, lines.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(owner_)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    // Once set, the memory is the clipboard's.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
}

}  // namespace vor3::win32
