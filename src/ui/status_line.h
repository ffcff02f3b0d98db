#pragma once
#include <string>

#include "form/context.h"
#include "model/register_map.h"

// The status line under the window's buttons: the port and its settings,
// whether the sensor answers, the line's counts since the port was opened,
// and the last word on a write or on a value a field corrected. It only
// tells; the behaviour's own messages and the warning line stay as they are.
namespace vor3::ui {

using form::LineEvent;

// Counts what just happened on the line and shows it.
void count_on_line(Context& c, LineEvent event);
// A port was opened: every count starts again, and what was said before
// belongs to the line before.
void clear_line_counts(Context& c);
// Shows the line in the language in force.
void show_status_line(Context& c);
// The status line's text in `language`.
std::string status_line_text(const Context& c, const std::string& language);

// Why a field changed the value typed into it when it was left.
enum class Correction { AtMost, AtLeast, Above, Below, Empty, NotANumber, Resolution };
// Names in the status line what was typed into a field, what it became and
// why; `bound` is the limit passed or the step kept ("" for none).
void name_correction(Context& c, model::FieldArray array, int index, const std::string& typed,
                     const std::string& became, Correction why, const std::string& bound);

// The read-back after a write has been compared (sent.differences): how
// many values were written and confirmed, or each value read back otherwise.
void tell_write_checked(Context& c);
// A write ends before its last part was confirmed (cancelled by the user,
// or ended by a give-up, a refusal, a lost port): which parts the sensor
// confirmed and which went out unconfirmed. Nothing while no write runs.
void tell_write_ended(Context& c, bool cancelled);

}  // namespace vor3::ui
