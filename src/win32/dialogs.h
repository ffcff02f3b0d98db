#pragma once
#include "win32/windows_api.h"

#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "form/platform.h"

namespace vor3::win32 {

class Win32Clock;

// While one of Windows' own modal loops runs (a message box, a file
// dialog, a menu, moving the window), a thread timer keeps the model's
// timers ticking, as they do under the message loop. Nests.
class ModalTimers {
public:
    ModalTimers();
    ~ModalTimers();
    ModalTimers(const ModalTimers&) = delete;
    ModalTimers& operator=(const ModalTimers&) = delete;
};
// The clock the modal timer drives; set once by the program.
void set_modal_clock(Win32Clock* clock);

// Messages with only OK under the application title. show() returns at
// once, as the behaviour expects (the handler that reports something runs
// to its end before the user reads it): the message waits for the message
// loop, which shows it in turn, over `owner`.
class Win32MessageBox : public form::MessageBox {
public:
    // Posted to the owner when a message waits; the owner calls show_waiting().
    static constexpr UINT kShowWaiting = WM_APP + 1;
    void set_owner(HWND owner) { owner_ = owner; }
    void show(const std::string& text, const std::string& detail = {}) override;
    void show_waiting();
    std::size_t waiting() const { return waiting_.size(); }

private:
    HWND owner_ = nullptr;
    std::deque<std::pair<std::string, std::string>> waiting_;
    bool showing_ = false;
};

// A question the handler waits for, with the model's texts on its two
// buttons (a task dialog).
class Win32ConfirmDialog : public form::ConfirmDialog {
public:
    void set_owner(HWND owner) { owner_ = owner; }
    bool confirm(const std::string& title, const std::string& text, const std::string& ok,
                 const std::string& cancel) override;

private:
    HWND owner_ = nullptr;
};

// The common file dialogs. Saving adds the filter's suffix to a name typed
// without one; a dialog opens in the folder of the file last chosen.
class Win32FileDialog : public form::FileDialog {
public:
    void set_owner(HWND owner) { owner_ = owner; }
    std::optional<std::string> open_file(const std::string& filter) override;
    std::optional<std::string> save_file(const std::string& filter) override;
    std::optional<std::string> append_file(const std::string& filter, const std::string& folder) override;

private:
    std::optional<std::string> ask(bool open, const std::string& filter, const std::string& folder, bool append);
    HWND owner_ = nullptr;
    std::string last_folder_;
};

// "Textfile (*.txt)" as the dialogs take it: "Textfile (*.txt)\0*.txt\0\0";
// the suffix is that of its pattern ("txt").
std::wstring file_filter(const std::string& filter);
std::wstring filter_suffix(const std::string& filter);

// Documents and links open with the shell's default application.
class Win32Desktop : public form::Desktop {
public:
    bool open_document(const std::string& path) override;
    bool open_link(const std::string& url) override;
};

// The primary screen's size.
class Win32Screen : public form::Screen {
public:
    form::ScreenSize size() const override;
};

// The clipboard, as Unicode text with Windows' line ends. It needs a window
// of the program to own what it holds.
class Win32Clipboard : public form::Clipboard {
public:
    void set_owner(HWND owner) { owner_ = owner; }
    void set_text(const std::string& text) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace vor3::win32
