#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "form/context.h"
#include "form/frm_config.h"

namespace vor3::ui {

using Steps = std::vector<form::TransferStep>;

// The requests of each transfer the status window shows, in the order
// they go out: "Gerät auslesen" (register 6, then the read chain), the
// read chain alone (a re-read), and a write of the parts given followed by
// its read-back.
// All follow model::kReadOrder and model::kWriteOrder, in blocks of the
// sizes the transfer state gives.
Steps read_device_steps(const model::TransferState& t);
Steps read_chain_steps(const model::TransferState& t);
Steps write_steps(const model::TransferState& t, bool config, bool external);

// The step of `steps` the transfer state names, searching from `from` on;
// -1 when none does.
int step_named_by(const Steps& steps, const model::TransferState& t, int from);

bool is_read_step(const form::TransferStep& step);

// What the status window calls the step, in the language given.
std::string step_text(const form::TransferStep& step, const std::string& language);

// About how long the steps from `from` on take with a healthy sensor at
// the pace in force, the one in flight having taken `elapsed_ms` so far
// (never less than the steps after it need).
std::int64_t time_left_ms(const Context& c, const Steps& steps, int from, std::int64_t elapsed_ms);

}  // namespace vor3::ui
