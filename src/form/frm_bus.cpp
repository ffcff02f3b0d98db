#include "form/frm_bus.h"

#include "model/captions.h"

namespace vor3::form {

FrmBus::FrmBus() {
    set_visible(false);
    set_caption(model::caption_de(model::Caption::frmBus));
    for (Control* c : std::initializer_list<Control*>{
             &lbl_port, &chk_every, &lbl_simulated, &txt_simulated, &cmd_search, &grd_sensors, &chk_location, &chk_pace,
             &cmd_write_file, &cmd_write_shown, &cmd_abort, &cmd_report, &prg_bus, &lbl_state})
        c->set_parent(this);
    lbl_simulated.set_visible(false);
    txt_simulated.set_visible(false);
    txt_simulated.set_text("1");
    cmd_abort.set_enabled(false);
    cmd_report.set_enabled(false);
}

}  // namespace vor3::form
