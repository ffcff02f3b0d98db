#include "ui/spin_buttons.h"

#include <cmath>
#include <cstdlib>

#include "model/numbers.h"
#include "ui/field_rules.h"

namespace vor3::ui {

void step_field(Context& c, int index, bool up) {
    auto& f = c.frm;
    if (!f.UpD_txt_cfg.has(index)) return;
    auto& field = f.txt_data_cfg(index);
    const auto& spin = f.UpD_txt_cfg(index);
    // A locked field (cyclic read-out, a transfer running) is not stepped,
    // and a held arrow lets go.
    if (!field.editable() || !spin.effectively_enabled()) {
        f.Timer.stop();
        return;
    }
    const auto v = model::locale_number(field.text(), c.g.lang.decimal_sep);
    if (!v) return;  // not a number: the step does nothing
    const double step = (index == 8 || index == 9) ? 0.1 : 1.0;
    const double lo = config_lower_bound(c, index);
    // A tenth is compared with a little slack so that 9.9 + 0.1 reaches 10.
    const double eps = step * 1e-9;
    double next;
    if (up)
        next = *v <= spin.max - step + eps ? *v + step : spin.max;
    else
        next = *v >= lo + step - eps ? *v - step : lo;
    field.set_text(model::format_number(next, c.g.lang.decimal_sep));
}

void UpD_txt_cfg_UpClick(Context& c, int index) { step_field(c, index, true); }
void UpD_txt_cfg_DownClick(Context& c, int index) { step_field(c, index, false); }

void UpD_txt_cfg_MouseDown(Context& c, int index, double /*x*/, double y) {
    auto& f = c.frm;
    f.spin_index = index;
    f.spin_up = y < f.UpD_txt_cfg(index).height / 2;
    f.Timer.start();
}

void UpD_txt_cfg_MouseMove(Context& c, int index, double x, double y) {
    const auto& spin = c.frm.UpD_txt_cfg(index);
    if (x > 1.2 * spin.width || y > 1.2 * spin.height) c.frm.Timer.stop();
}

void UpD_txt_cfg_MouseUp(Context& c, int /*index*/) { c.frm.Timer.stop(); }

void Timer_Timer(Context& c) { step_field(c, c.frm.spin_index, c.frm.spin_up); }

void txt_data_cfg_KeyDown(Context& c, int index, int key) {
    if (key == form::kKeyUp || key == form::kKeyDown) step_field(c, index, key == form::kKeyUp);
}

void txt_data_cfg_MouseWheel(Context& c, int index, int notches) {
    for (int n = 0; n < std::abs(notches); ++n) step_field(c, index, notches > 0);
}

}  // namespace vor3::ui
