#pragma once
#include "win32/windows_api.h"

#include <map>
#include <string>

#include "form/controls.h"
#include "win32/layout.h"

namespace vor3::win32 {

class Binder;

// The fonts of the view: the system's message font (never the bitmap
// System font) at the screen's resolution, and its bold face for frame
// titles and headings.
struct Fonts {
    explicit Fonts(UINT dpi);
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    // Pixels at 96 dpi in the screen's pixels.
    int scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi), 96); }

    // The fonts at another resolution (the window moved to another
    // screen). The ones before stay valid until the next change, so that
    // each window can be given the new ones first (WidgetFactory::refont).
    void set_dpi(UINT dpi);

    UINT dpi;
    HFONT normal = nullptr;
    HFONT bold = nullptr;
    HFONT bold_before = nullptr;  // bold before the last set_dpi
    int line = 13;                // the height of a line of text
    int digit = 6;                // the width of a "0"

private:
    void make(UINT screen_dpi);
    HFONT normal_before_ = nullptr;
};

// Gives `window` a client area of `need` (its frame around it), at `at`
// when given; returns the outer size.
SIZE fit_client(HWND window, layout::Size need, const POINT* at = nullptr);

// Registers the window classes of the view once (panels and the windows).
void register_view_classes();
// The class of a plain container window whose messages go to its target.
inline constexpr const wchar_t* kPanelClass = L"Vor3Panel";

// Makes the window for a model control inside the current parent, names it
// after the control ("txt_data_cfg_4") and binds it. Each window's size
// comes from its texts: measure() records the widest each one showed, so
// the view measures once per language before it places anything.
class WidgetFactory {
public:
    WidgetFactory(Binder& binder, const Fonts& fonts) : binder_(binder), fonts_(fonts) {}

    void set_parent(HWND parent) { parent_ = parent; }
    HWND parent() const { return parent_; }

    HWND label(form::Control& c, const std::string& name);
    // A label that stands for a read-only value, drawn like a field.
    HWND value_label(form::Label& c, const std::string& name, int chars);
    // A section heading inside a frame.
    HWND heading(form::Label& c, const std::string& name);
    // chars: how many characters the field should show without scrolling.
    HWND field(form::TextBox& c, const std::string& name, int chars, bool read_only = false);
    HWND spin(form::UpDown& c, const std::string& name);
    HWND check(form::CheckBox& c, const std::string& name);
    // chars: the least width in characters, whatever the entries.
    HWND combo(form::ComboBox& c, const std::string& name, int chars = 0);
    HWND frame(form::Container& c, const std::string& name);
    // A list shown open, `rows` entries high.
    HWND list(form::ListBox& c, const std::string& name, int rows);
    HWND button(form::Button& c, const std::string& name);
    // A row label that shows the change mark of the check box it names.
    HWND row_label(form::Control& c, form::Control& marked, const std::string& name);
    HWND link(form::LinkLabel& c, const std::string& name);
    HWND progress(form::ProgressBar& c, const std::string& name, int width);
    // A window of a class of its own, made and named here but bound by the caller.
    HWND make(const wchar_t* window_class, const std::string& name, DWORD style, DWORD ex_style = 0);

    // The window named so; nullptr when there is none.
    HWND find(const std::string& name) const;
    const std::map<std::string, HWND>& windows() const { return by_name_; }

    // Records the extent of every window's texts as the model has them
    // now, keeping the widest seen.
    void measure();
    // After Fonts::set_dpi: every window takes the new font (bold where it
    // had bold) and the texts are measured anew from the next measure().
    void refont();
    // The size a window needs for the widest texts measured.
    layout::Size size(HWND window) const;
    layout::ItemPtr item(HWND window, bool centred = false) const;
    // A frame around `inner`, at least as wide as its title.
    layout::ItemPtr framed(HWND box, layout::ItemPtr inner) const;
    int field_height() const { return fonts_.line + fonts_.scale(9); }
    const Fonts& fonts() const { return fonts_; }

    static std::string name(const char* array, int index) { return std::string(array) + "_" + std::to_string(index); }

private:
    enum class Kind { Label, Heading, Value, Field, Spin, Check, Combo, List, Frame, Button, Link, Progress, Other };
    struct Made {
        Kind kind;
        int chars = 0;                           // fields and lists: the width asked for
        layout::Size text;                       // the widest text measured
        const form::Control* control = nullptr;  // whose texts it shows
        const form::ComboBox* combo = nullptr;
    };
    HWND create(const wchar_t* cls, const std::string& name, DWORD style, DWORD ex_style, Kind kind,
                const form::Control* control, int chars = 0);
    layout::Size extent(HDC dc, HFONT font, const std::wstring& text, bool prefix) const;

    Binder& binder_;
    const Fonts& fonts_;
    HWND parent_ = nullptr;
    int next_id_ = 1000;
    std::map<std::string, HWND> by_name_;
    std::map<HWND, Made> made_;
};

}  // namespace vor3::win32
