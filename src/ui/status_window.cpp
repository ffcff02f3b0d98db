#include "ui/status_window.h"

#include <algorithm>

#include "model/numbers.h"
#include "ops/readout.h"
#include "ui/language.h"

namespace vor3::ui {

namespace {

void unload(Context& c) {
    auto& s = c.state;
    s.Timer1SW.stop();
    s.Timer2SW.stop();
    if (!s.loaded()) return;
    s.set_visible(false);
    s.set_loaded(false);
    frmState_Unload(c);
}

bool is_read_kind(std::int32_t kind) {
    return kind == model::kReadRegisterBlock || kind == model::kReadConfigCoils || kind == model::kReadRegister6 ||
           kind == model::kReadExternalValues || kind == model::kReadLedCoils;
}

}  // namespace

void frmState_Load(Context& c) {
    auto& s = c.state;
    apply_language(c, 3);
    s.set_loaded(true);
    s.cmdOK.set_visible(false);
    s.frameProgress.set_visible(true);
    s.ProgressFile.set_range(0, 10);
    s.ProgressFile.set_value(0);
    s.Timer1SW.stop();
    s.Timer2SW.stop();
    s.Timer1SW.set_interval(0);
    s.Timer2SW.set_interval(0);
}

void frmState_Unload(Context& c) {
    c.frm.set_enabled(true);
}

void ShowMsg(Context& c) {
    auto& s = c.state;
    if (!s.loaded()) frmState_Load(c);
    const double limit = model::status_time_limit(c.g.link.baud_rate, c.g.transfer.reply_delay);
    s.Abbruch.set_visible(c.g.transfer.request_kind == model::kWriteConfigBlock);
    s.cmdOK.set_visible(false);
    s.frameProgress.set_visible(true);
    s.progress = 0;
    s.ProgressFile.set_range(0, 10);
    s.ProgressFile.set_value(0);
    // Any limit the formula gives is usable; a limit below a tick would
    // close the window before it could be seen, so it is at least 10 ms.
    const auto total = std::max<long long>(10, model::round_half_even(limit));
    s.Timer1SW.set_interval(total);
    s.Timer2SW.set_interval(std::max<long long>(1, model::round_half_even(limit / 10)));
    s.Timer1SW.start();
    s.Timer2SW.start();
}

void ShowMsgWindow(Context& c) {
    c.frm.set_enabled(false);
    ShowMsg(c);
    c.state.set_visible(true);
}

void Timer2SW_Timer(Context& c) {
    auto& s = c.state;
    if (s.ProgressFile.max() <= s.progress)
        s.progress = static_cast<std::int16_t>(s.ProgressFile.max());
    else
        ++s.progress;
    s.ProgressFile.set_value(s.progress);
}

void Timer1SW_Timer(Context& c) {
    c.state.Timer1SW.stop();
    c.state.Timer2SW.stop();
    // A read cut off by the time limit has not filled the window: say so
    // rather than leave a window that looks finished.
    if (is_read_kind(c.g.transfer.request_kind)) c.frm.lbl_desc(16).set_visible(true);
    CloseWindow(c);
}

void CloseWindow(Context& c) {
    c.state.Timer1SW.stop();
    c.state.Timer2SW.stop();
    const std::int32_t k = c.g.transfer.request_kind;
    c.g.transfer.request_kind = model::kIdle;
    unload(c);
    if (k == model::kWriteConfigCoils || k == model::kWriteExternalBlock || k == model::kWriteLedCoils)
        ops::func_read_out_parameter(c);
}

void Abbruch_Click(Context& c) {
    c.g.transfer.request_kind = model::kIdle;
    c.frm.Timer1.stop();
    c.frm.Timer6.stop();
    unload(c);
}

void abandon_status_window(Context& c) {
    unload(c);
}

}  // namespace vor3::ui
