#pragma once
#include "form/serial_port.h"
#include "model/register_map.h"

namespace vor3::form {

// What happened on the line, for the status line's counts.
enum class LineEvent { Request, Repeat, Answer, GiveUp, BadChecksum, Noise };

// What the transfer layers (link, ops, reply) tell the window while a
// transfer runs, and the reading the link hands up to the reader above it.
// The window layer implements it (ui::WindowEvents); each program holds one
// in its Context, so the layers below never include the window's code.
class TransferEvents {
public:
    virtual ~TransferEvents() = default;

    // The status window: shown for the transfer named by request_kind (or
    // counting on), a step taken, its steps all done, closed without a
    // follow-up.
    virtual void show_status_window() = 0;
    virtual void transfer_progressed() = 0;
    virtual void show_progress() = 0;
    virtual void steps_done() = 0;
    virtual void abandon_status_window() = 0;
    // A new transfer begins: the warning line no longer says that a read
    // was cancelled.
    virtual void clear_read_cancelled() = 0;

    // The line: a count for the status line, a port that failed under a
    // transfer.
    virtual void line_event(LineEvent event) = 0;
    virtual void port_failed(const PortError& e) = 0;

    // The fields: one took a value from the sensor (its mark and colour
    // follow), the marks changed ("Werte übernehmen" follows them).
    virtual void field_taken(model::FieldArray array, int index) = 0;
    virtual void marks_changed() = 0;

    // A write ended before its last part was confirmed, or its read-back
    // was compared; no second answer to the last request can come any more.
    virtual void write_ended(bool cancelled) = 0;
    virtual void write_checked() = 0;
    virtual void second_answer_over() = 0;

    // What waits on the line is read by the reader: before a request goes
    // out (none of it answers that request; throws PortError) and when
    // the time-out or the turn would act on a silence.
    virtual void clear_line_before_sending() = 0;
    virtual void read_waiting() = 0;
};

}  // namespace vor3::form
