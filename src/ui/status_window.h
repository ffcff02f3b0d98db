#pragma once
#include <cstdint>
#include <string>

#include "form/context.h"

namespace vor3::ui {

// Opens the status window for the transfer named by request_kind (or goes
// on counting the transfer it shows) and disables the main window while it
// is open.
void ShowMsgWindow(Context& c);
void ShowMsg(Context& c);
// Ends the status window; after the last step of a write the read-back of
// the whole device goes on in it.
void CloseWindow(Context& c);
// Compares what a write sent with its read-back, once the read-back is
// done and no second answer to its last request can come any more.
void settle_read_back(Context& c);
void Abbruch_Click(Context& c);
// Escape is "Abbruch", where the transfer offers it.
void frmState_KeyDown(Context& c, int key);
void Timer1SW_Timer(Context& c);
void Timer2SW_Timer(Context& c);
void frmState_Load(Context& c);
void frmState_Unload(Context& c);

// Closes the status window without any follow-up (the link is gone).
void abandon_status_window(Context& c);

// A request went out or an answer came: the time limit starts again, and
// the bar and the text follow the step in flight.
void transfer_progressed(Context& c);
// The bar and the text follow the step the transfer state names.
void show_progress(Context& c);

// The warning line no longer says that a read was cancelled (a new
// transfer begins).
void clear_read_cancelled(Context& c);

// About how long is left, as the status window says it ("Noch etwa 12 s").
std::string time_left_text(std::int64_t ms, const std::string& language);

// What the user is told after cancelling a write.
std::string cancelled_text(const std::string& language);

}  // namespace vor3::ui
