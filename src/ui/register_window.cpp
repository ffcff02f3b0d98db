#include "ui/register_window.h"

#include "model/captions.h"
#include "model/register_rows.h"

namespace vor3::ui {

RegisterWindow::RegisterWindow(Context& c, form::FrmRegisters& window, form::Clipboard& clipboard)
    : c_(c), w_(window), clipboard_(&clipboard) {
    w_.cmd_copy.on_click = [this](int) { copy(); };
    c.image_changed.emplace_back([this] {
        if (w_.loaded()) show_rows();
    });
    c.frm.AnsichtMenue(6).on_click = [this](int) { load(); };
    c.frm.AnsichtMenue(6).set_visible(true);
    c.frm.MenueMain(4).set_visible(true);
}

void RegisterWindow::load() {
    const std::string& l = c_.g.lang.language;
    w_.set_caption(model::caption(model::Caption::frmRegisters, l));
    w_.cmd_copy.set_caption(model::caption(model::Caption::registers_copy, l));
    w_.grd_registers.set_headers(model::register_headers(l));
    show_rows();
    w_.set_loaded(true);
    w_.set_visible(true);
}

void RegisterWindow::unload() {
    w_.set_visible(false);
    w_.set_loaded(false);
}

void RegisterWindow::show_rows() {
    // Most replies change a few rows or none; the view redraws only when
    // something did.
    auto rows = model::register_rows(c_.g.image, c_.g.lang);
    if (rows != w_.grd_registers.rows()) w_.grd_registers.set_rows(std::move(rows));
}

void RegisterWindow::copy() {
    clipboard_->set_text(model::tab_separated(w_.grd_registers.headers(), w_.grd_registers.rows()));
}

}  // namespace vor3::ui
