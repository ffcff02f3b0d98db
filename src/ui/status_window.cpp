#include "ui/status_window.h"

#include <algorithm>
#include <iterator>

#include "link/traffic.h"
#include "link/transfer_reset.h"
#include "link/transmit.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "ops/cyclic_readout.h"
#include "ops/write_parameters.h"
#include "ui/change_marking.h"
#include "ui/language.h"
#include "ui/not_read.h"
#include "ui/status_line.h"
#include "ui/transfer_steps.h"

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
    const std::int64_t step =
        std::max(c.frm.Timer1.interval(), c.frm.Timer6.interval()) + link::longest_wait_ms(c) + c.frm.Timer4.interval();
    return std::max<std::int64_t>(step, model::round_half_even(limit));
}

// The transfer the request kind in force begins, as the window counts it.
Steps steps_for(const Context& c) {
    switch (c.g.transfer.request_kind) {
    case model::kReadRegister6: return read_device_steps(c.g.transfer);
    case model::kWriteConfigBlock: return write_steps(c.g.transfer, true, c.frm.external_changed);
    case model::kWriteExternalBlock: return write_steps(c.g.transfer, false, true);
    default: return read_chain_steps(c.g.transfer);
    }
}

// A line for each pace register whose bound the transfer keeps to now.
std::string pace_bounds_text(const Context& c) {
    const auto& t = c.g.transfer;
    const std::string& language = c.g.lang.language;
    std::string lines;
    if (t.display_held >= 0 && t.reply_delay == model::pace_bound(6))
        lines += "\n" + link::pace_bound_text(6, t.display_held, language);
    if (t.response_held >= 0 && t.min_response_ms == model::pace_bound(7))
        lines += "\n" + link::pace_bound_text(7, t.response_held, language);
    return lines;
}

// The bar counts the steps done; the text names the step in flight and
// about how long the steps left take.
void show_step(Context& c) {
    auto& s = c.state;
    const auto n = static_cast<int>(s.steps.size());
    if (s.step < 0 || s.step >= n) return;
    const auto& now = s.steps[static_cast<std::size_t>(s.step)];
    const std::int64_t left = time_left_ms(c, s.steps, s.step, c.clock.now_ms() - s.step_began_ms);
    const std::string& language = c.g.lang.language;
    s.ProgressFile.set_range(0, n);
    s.ProgressFile.set_value(s.step);
    s.lblTxt.set_caption(model::caption(model::Caption::status_step, language,
                                        {step_text(now, language), std::to_string(s.step + 1), std::to_string(n)}) +
                         "\n" + time_left_text(left, language) + pace_bounds_text(c));
}

}  // namespace

std::string time_left_text(std::int64_t ms, const std::string& language) {
    const std::int64_t seconds = std::max<std::int64_t>(1, (ms + 999) / 1000);
    if (seconds < 120) return model::caption(model::Caption::status_seconds_left, language, {std::to_string(seconds)});
    return model::caption(model::Caption::status_minutes_left, language, {std::to_string((seconds + 30) / 60)});
}

void show_progress(Context& c) {
    auto& s = c.state;
    if (!s.loaded()) return;
    const int named = step_named_by(s.steps, c.g.transfer, s.step);
    if (named > s.step) {
        s.step = named;
        s.step_began_ms = c.clock.now_ms();
    }
    show_step(c);
}

void clear_read_cancelled(Context& c) {
    auto& warning = c.frm.warning_line();
    const std::string& language = c.g.lang.language;
    if (warning.caption() != model::caption(model::Caption::warning_read_cancelled, language)) return;
    warning.set_visible(false);
    warning.set_caption(model::caption(model::Caption::lbl_desc_16, language));
}

std::string cancelled_text(const std::string& language) {
    return model::caption(model::Caption::msg_write_cancelled, language);
}

void frmState_Load(Context& c) {
    auto& s = c.state;
    apply_language(c, 3);
    // Loaded, not yet shown: it shows once its text is set.
    s.set_visible(false);
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

void frmState_Unload(Context& c) { c.frm.set_enabled(true); }

void ShowMsg(Context& c) {
    auto& s = c.state;
    // A transfer that goes on in the window already open (the read chain
    // after register 6, the read-back after a write) keeps its count.
    const bool goes_on = s.loaded() && step_named_by(s.steps, c.g.transfer, s.step) >= 0;
    if (!s.loaded()) frmState_Load(c);
    if (!goes_on) {
        s.steps = steps_for(c);
        s.step = 0;
        s.step_began_ms = c.clock.now_ms();
    }
    // Reads can be cancelled; a write of the configuration too, as it
    // always could.
    s.Abbruch.set_visible(c.g.transfer.request_kind != model::kWriteExternalBlock);
    s.cmdOK.set_visible(false);
    s.frameProgress.set_visible(true);
    clear_read_cancelled(c);
    s.Timer1SW.stop();
    s.Timer1SW.set_interval(time_limit_ms(c));
    s.Timer1SW.start();
    // The time left counts down between the steps.
    s.Timer2SW.set_interval(1000);
    s.Timer2SW.start();
    show_progress(c);
}

void transfer_progressed(Context& c) {
    auto& s = c.state;
    if (!s.loaded() || !s.Timer1SW.enabled()) return;
    s.Timer1SW.stop();
    s.Timer1SW.set_interval(time_limit_ms(c));
    s.Timer1SW.start();
    show_progress(c);
}

void ShowMsgWindow(Context& c) {
    // A held spin arrow cannot be released in a disabled window.
    c.frm.Timer.stop();
    c.frm.set_enabled(false);
    ShowMsg(c);
    c.state.set_visible(true);
}

void Timer2SW_Timer(Context& c) { show_progress(c); }

void Timer1SW_Timer(Context& c) {
    c.state.Timer1SW.stop();
    c.state.Timer2SW.stop();
    // No reply for longer than any healthy transfer waits: the transfer
    // has stalled. It ends as a give-up does, without a read-back that
    // would throw away what was not written.
    link::end_transfer_early(c, model::TransferOutcome::NoAnswer);
}

void CloseWindow(Context& c) {
    c.state.Timer1SW.stop();
    c.state.Timer2SW.stop();
    const std::int32_t k = c.g.transfer.request_kind;
    c.g.transfer.request_kind = model::kIdle;
    if (k == model::kWriteConfigCoils || k == model::kWriteExternalBlock || k == model::kWriteLedCoils) {
        // The read-back follows in the window still open, its bar going on
        // from the write.
        c.g.sent.reading_back = true;
        ops::func_read_out_parameter(c);
        return;
    }
    unload(c);
    link::transfer_ended(c, model::TransferOutcome::Done);
    // Done for the line only once no second answer to the last request can
    // come: one that differs still ends the transfer, with that said.
    link::watch_for_second_answer(c);
    if (k == model::kReadLedCoils) settle_read_back(c);
}

void settle_read_back(Context& c) {
    // A copy of an earlier answer taken for the last block must not be
    // judged as what the sensor stored: the second answer ends it first.
    if (!c.g.sent.reading_back || c.g.transfer.request_kind != model::kIdle || c.frm.TimerTurn.enabled() ||
        c.g.line.conflict)
        return;
    ops::check_read_back(c);
}

void Abbruch_Click(Context& c) {
    auto& s = c.state;
    show_progress(c);
    const auto in_flight = s.steps.begin() + std::clamp<std::ptrdiff_t>(s.step, 0, std::ssize(s.steps));
    const bool reading = in_flight != s.steps.end() && is_read_step(*in_flight);
    Steps not_read;
    std::copy_if(in_flight, s.steps.end(), std::back_inserter(not_read), is_read_step);
    tell_write_ended(c, true);
    // Nothing more goes out: no next block, no repeat of the block in
    // flight, no request waiting for its turn. A reply still on its way
    // finds the transfer ended.
    link::reset_transfer(c);
    c.g.transfer.request_kind = model::kIdle;
    unload(c);
    link::transfer_ended(c, model::TransferOutcome::Cancelled);
    if (!reading) {
        ui::UpdateApplyButton(c, ui::MarkGroup::All);
        c.msg.show(cancelled_text(c.g.lang.language));
        return;
    }
    // What was read stays; the rest shows as not read.
    show_not_read(c, not_read);
    auto& warning = c.frm.warning_line();
    warning.set_caption(model::caption(model::Caption::warning_read_cancelled, c.g.lang.language));
    warning.set_visible(true);
}

void frmState_KeyDown(Context& c, int key) {
    auto& cancel = c.state.Abbruch;
    if (key == form::kKeyEscape && cancel.visible()) cancel.press();
}

void abandon_status_window(Context& c) {
    // A read-back cut short has nothing to compare.
    c.g.sent.reading_back = false;
    unload(c);
}

}  // namespace vor3::ui
