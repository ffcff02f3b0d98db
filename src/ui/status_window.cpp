#include "ui/status_window.h"

#include <algorithm>

#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "ops/readout.h"
#include "ui/change_marking.h"
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

// The time limit is only a last guard against a transfer that has stopped
// moving: a give-up ends a silent sensor's transfer sooner. So it is never
// shorter than a block period plus the longest wait for a reply, and each
// reply starts it again: a slow but healthy transfer is never cut short.
std::int64_t time_limit_ms(const Context& c) {
    const double limit = model::status_time_limit(c.g.link.baud_rate, c.g.transfer.reply_delay);
    const std::int64_t step = std::max(c.frm.Timer1.interval(), c.frm.Timer6.interval()) +
                              link::longest_wait_ms(c) + c.frm.Timer4.interval();
    return std::max<std::int64_t>(step, model::round_half_even(limit));
}

}  // namespace

std::string cancelled_text(const std::string& language) {
    return model::caption(model::Caption::msg_write_cancelled, language);
}

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
    s.Timer1SW.stop();
    s.Timer1SW.set_interval(time_limit_ms(c));
    s.Timer2SW.set_interval(std::max<long long>(1, model::round_half_even(limit / 10)));
    s.Timer1SW.start();
    s.Timer2SW.start();
}

void transfer_progressed(Context& c) {
    auto& s = c.state;
    if (!s.loaded() || !s.Timer1SW.enabled()) return;
    s.Timer1SW.stop();
    s.Timer1SW.set_interval(time_limit_ms(c));
    s.Timer1SW.start();
}

void ShowMsgWindow(Context& c) {
    // A held spin arrow cannot be released in a disabled window.
    c.frm.Timer.stop();
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
    // No reply for longer than any healthy transfer waits: the transfer
    // has stalled. It ends as a give-up does, without a read-back that
    // would throw away what was not written.
    link::end_transfer_early(c);
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
    auto& f = c.frm;
    c.g.transfer.request_kind = model::kIdle;
    // Nothing more goes out: no next block, and no repeat of the block in
    // flight. Its reply, if one comes, only finds the transfer ended.
    for (form::Timer* t : {&f.Timer1, &f.Timer3, &f.Timer5, &f.Timer6}) t->stop();
    c.g.transfer.bus_ready = true;
    unload(c);
    ui::UpdateApplyButton(c, 0);
    c.msg.show(cancelled_text(c.g.lang.language));
}

void abandon_status_window(Context& c) {
    unload(c);
}

}  // namespace vor3::ui
