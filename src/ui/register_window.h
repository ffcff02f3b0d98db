#pragma once
#include "form/context.h"
#include "form/frm_registers.h"
#include "form/platform.h"

namespace vor3::ui {

// "Register": the register view's behaviour. While it is open its rows
// follow every reply that changes the register image, so a technician sees
// each read, the cyclic read-out included, as it comes.
class RegisterWindow {
public:
    RegisterWindow(Context& c, form::FrmRegisters& window, form::Clipboard& clipboard);
    RegisterWindow(const RegisterWindow&) = delete;
    RegisterWindow& operator=(const RegisterWindow&) = delete;

    // Shows the window in the language and number format in force.
    void load();
    void unload();
    void use_clipboard(form::Clipboard& clipboard) { clipboard_ = &clipboard; }
    // "Kopieren": the table with its headers, tab-separated, to the clipboard.
    void copy();

private:
    void show_rows();

    Context& c_;
    form::FrmRegisters& w_;
    form::Clipboard* clipboard_;
};

}  // namespace vor3::ui
