#include "link/transfer_reset.h"

namespace vor3::link {

void restart_block_read(Context& c) {
    c.frm.alreadyRead = 0;
    c.frm.countReadRegister = 0;
    c.g.transfer.block_count = 0;
}

void clear_write_progress(Context& c) {
    c.frm.alreadyWrite = 0;
    c.frm.countWriteRegister = 0;
}

void read_blocks_from(Context& c, std::int16_t first) {
    restart_block_read(c);
    auto& t = c.g.transfer;
    t.request_kind = model::kReadRegisterBlock;
    t.bus_ready = true;
    t.reg_address = first;
}

void reset_transfer(Context& c) {
    auto& f = c.frm;
    for (form::Timer* t : {&f.Timer1, &f.Timer3, &f.Timer5, &f.Timer6, &f.TimerTurn, &f.TimerPace}) t->stop();
    c.g.line.held = false;
    c.g.sent.reading_back = false;
    c.g.transfer.stopping = false;
    c.g.line.repeating = false;
    read_blocks_from(c, 0);
}

void transfer_begun(Context& c) {
    c.g.transfer.outcome = model::TransferOutcome::Running;
    c.g.transfer.refusal_code = 0;
}

void transfer_ended(Context& c, model::TransferOutcome how, int exception_code) {
    c.g.transfer.outcome = how;
    c.g.transfer.refusal_code = exception_code;
}

}  // namespace vor3::link
