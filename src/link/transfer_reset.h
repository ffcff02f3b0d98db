#pragma once
#include <cstdint>

#include "form/context.h"

namespace vor3::link {

// The transfer's progress is kept in a few counters; each way of starting
// over has one name here, so every place that starts over does it alike.

// Restarts the block read: no register of the range counted as read, the
// next block sized afresh from where reg_address stands.
void restart_block_read(Context& c);

// Clears the write progress: no register of a write counted as sent.
void clear_write_progress(Context& c);

// Register blocks are read next, from `first` (the first configuration
// register or the first measured value), and the line takes the next one.
void read_blocks_from(Context& c, std::int16_t first);

// Abandons any transfer: block timers, time-out, give-up and turn stopped,
// no request held, ready to read from the first configuration register.
void reset_transfer(Context& c);

// A transfer begins (a read, a write, the cyclic read-out): it runs until
// it ends.
void transfer_begun(Context& c);
// Every end of a transfer comes here and says how it ended; the exception
// code goes with a refusal.
void transfer_ended(Context& c, model::TransferOutcome how, int exception_code = 0);

}  // namespace vor3::link
