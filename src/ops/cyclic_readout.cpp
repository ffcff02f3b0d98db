#include "ops/cyclic_readout.h"

#include "link/pace.h"
#include "link/transfer_reset.h"

namespace vor3::ops {

namespace {

// The number fields go read-only rather than grey: the values they hold
// stay readable (a change mark too) while the measured values tick on.
void lock_editing(Context& c, bool locked) {
    auto& f = c.frm;
    for (int i = 0; i <= 2; ++i) f.txt_data_in(i).set_read_only(locked);
    for (int i = 0; i <= 4; ++i) f.chk_inp_bit(i).set_enabled(!locked);
    for (int i = 0; i <= 10; ++i) f.txt_data_cfg(i).set_read_only(locked);
    for (auto& [i, spin] : f.UpD_txt_cfg) spin.set_enabled(!locked);
    for (int i = 0; i <= 7; ++i) {
        if (i == 3)
            f.cmb_bit_cfg(3).set_enabled(!locked);
        else
            f.chk_cfg(i).set_enabled(!locked);
    }
}

}  // namespace

void chk_read_out_Click(Context& c) {
    auto& f = c.frm;
    auto& t = c.g.transfer;
    if (f.chk_read_out.value() == 1) {
        c.events->clear_read_cancelled();
        link::transfer_begun(c);
        t.request_kind = model::kReadRegisterBlock;
        f.Timer6.start();
        f.read_out_parameter.set_enabled(false);
        f.set_parameter.set_enabled(false);
        f.cmd_read_device.set_enabled(false);
        t.reg_address = static_cast<std::int16_t>(model::kMeasuredFirst);
        link::restart_block_read(c);
        lock_editing(c, true);
    } else {
        f.Timer6.stop();
        link::restart_block_read(c);
        if (c.port.is_open()) {
            f.read_out_parameter.set_enabled(true);
            f.cmd_read_device.set_enabled(true);
            c.events->marks_changed();
        }
        lock_editing(c, false);
    }
}

void func_read_out_parameter(Context& c) {
    auto& f = c.frm;
    link::read_blocks_from(c, 0);
    link::transfer_begun(c);
    f.Timer6.start();
    link::block_due(c);
    c.events->show_status_window();
    f.cmd_read_device.set_enabled(true);
    f.chk_read_out.set_enabled(true);
}

void read_out_parameter_Click(Context& c) { func_read_out_parameter(c); }

}  // namespace vor3::ops
