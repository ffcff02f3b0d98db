#pragma once
#include "form/context.h"
#include "form/transfer_events.h"

namespace vor3::ui {

// The window's side of what the transfer layers tell it: each event runs
// the window's routine of that name (the status window, the status line,
// the marks), and the reading goes to the reader.
class WindowEvents : public form::TransferEvents {
public:
    explicit WindowEvents(Context& c) : c_(c) {}

    void show_status_window() override;
    void transfer_progressed() override;
    void show_progress() override;
    void steps_done() override;
    void abandon_status_window() override;
    void clear_read_cancelled() override;
    void line_event(form::LineEvent event) override;
    void port_failed(const form::PortError& e) override;
    void field_taken(model::FieldArray array, int index) override;
    void marks_changed() override;
    void write_ended(bool cancelled) override;
    void write_checked() override;
    void second_answer_over() override;
    void clear_line_before_sending() override;
    void read_waiting() override;

private:
    Context& c_;
};

}  // namespace vor3::ui
