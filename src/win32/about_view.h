#pragma once
#include "win32/windows_api.h"

#include "form/context.h"
#include "win32/binder.h"
#include "win32/widget_factory.h"

namespace vor3::win32 {

// The about box: mirrors the model's fAbout. It is modal while shown (the
// main window is disabled), has no buttons and is closed with its close
// box or Escape.
class AboutView : public MessageTarget {
public:
    AboutView(Context& c, Binder& binder, const Fonts& fonts, HWND owner);
    ~AboutView() override;
    AboutView(const AboutView&) = delete;
    AboutView& operator=(const AboutView&) = delete;

    HWND window() const { return window_; }
    HWND find(const std::string& name) const { return make_.find(name); }
    const std::map<std::string, HWND>& windows() const { return make_.windows(); }
    bool message(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // The fonts changed (Fonts::set_dpi): measured anew when next shown.
    void refont() { make_.refont(); }

private:
    void follow_model();
    // The box's size for its texts; `place` also moves its controls.
    SIZE fit(bool place);

    Context& c_;
    Binder& binder_;
    WidgetFactory make_;
    HWND owner_;
    HWND window_ = nullptr;
};

}  // namespace vor3::win32
