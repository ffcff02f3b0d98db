#pragma once
#include "win32/windows_api.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "form/controls.h"
#include "win32/binder.h"
#include "win32/layout.h"
#include "win32/widget_factory.h"

namespace vor3::win32 {

// A window beside the configuration window whose model the program loads
// and unloads: closing it, or Escape, unloads the model window, which
// stops what it runs. It is a window of its own (owned by the
// configuration window, so it stays above it), and first opens beside it,
// so that it hides neither the warning line nor the fields. `resizable`
// gives it a sizing border and a maximise button; its contents are laid
// out again at each size.
class ToolWindow : public MessageTarget {
public:
    ToolWindow(Binder& binder, const Fonts& fonts, HWND owner, bool resizable, std::function<void()> unload);
    ~ToolWindow() override;
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;

    HWND window() const { return window_; }
    HWND find(const std::string& name) const { return make_.find(name); }
    const std::map<std::string, HWND>& windows() const { return make_.windows(); }
    bool message(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // The fonts changed (Fonts::set_dpi): the window takes them and, when
    // shown, is laid out again where it is.
    void refont();

protected:
    // Takes the model window's caption as title, and shows (in front) or
    // hides the window as the model has it loaded and visible or not.
    void follow(const form::Window& model);
    // The window's contents for a client area of at least their size.
    virtual layout::ItemPtr contents() = 0;
    // Further messages of the window.
    virtual bool more(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    void place(bool beside_owner);

    Binder& binder_;
    WidgetFactory make_;
    HWND owner_;
    HWND window_ = nullptr;

private:
    std::function<void()> unload_;
    bool resizable_;
    bool placed_ = false;
    layout::Size least_;
};

}  // namespace vor3::win32
