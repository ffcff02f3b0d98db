#pragma once
#include <string>

#include "link/context.h"

namespace vor3::ui {

// Opens the status window for the transfer named by request_kind and
// disables the main window while it is open.
void ShowMsgWindow(Context& c);
void ShowMsg(Context& c);
// Ends the status window; after the last step of a write it starts the
// read-back of the whole device.
void CloseWindow(Context& c);
void Abbruch_Click(Context& c);
void Timer1SW_Timer(Context& c);
void Timer2SW_Timer(Context& c);
void frmState_Load(Context& c);
void frmState_Unload(Context& c);

// Closes the status window without any follow-up (the link is gone).
void abandon_status_window(Context& c);

// A reply moved the transfer on: its time limit starts again.
void transfer_progressed(Context& c);

// What the user is told after cancelling a write.
std::string cancelled_text(const std::string& language);

}  // namespace vor3::ui
