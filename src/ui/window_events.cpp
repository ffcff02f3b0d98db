#include "ui/window_events.h"

#include "reply/reader.h"
#include "ui/change_marking.h"
#include "ui/port_settings.h"
#include "ui/status_line.h"
#include "ui/status_window.h"

namespace vor3::ui {

void WindowEvents::show_status_window() { ShowMsgWindow(c_); }
void WindowEvents::transfer_progressed() { ui::transfer_progressed(c_); }
void WindowEvents::show_progress() { ui::show_progress(c_); }
void WindowEvents::steps_done() { CloseWindow(c_); }
void WindowEvents::abandon_status_window() { ui::abandon_status_window(c_); }
void WindowEvents::clear_read_cancelled() { ui::clear_read_cancelled(c_); }
void WindowEvents::line_event(form::LineEvent event) { count_on_line(c_, event); }
void WindowEvents::port_failed(const form::PortError& e) { ui::port_failed(c_, e); }
void WindowEvents::field_taken(model::FieldArray array, int index) { paint_field(c_, array, index); }
void WindowEvents::marks_changed() { UpdateApplyButton(c_, MarkGroup::All); }
void WindowEvents::write_ended(bool cancelled) { tell_write_ended(c_, cancelled); }
void WindowEvents::write_checked() { tell_write_checked(c_); }
void WindowEvents::second_answer_over() { settle_read_back(c_); }
void WindowEvents::clear_line_before_sending() { reply::clear_line_before_sending(c_); }
void WindowEvents::read_waiting() { reply::receive(c_); }

}  // namespace vor3::ui
