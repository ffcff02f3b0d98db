#include "form/frm_registers.h"

#include "model/captions.h"

namespace vor3::form {

FrmRegisters::FrmRegisters() {
    using model::Caption;
    set_visible(false);
    set_caption(model::caption_de(Caption::frmRegisters));
    grd_registers.set_parent(this);
    cmd_copy.set_parent(this);
    cmd_copy.set_caption(model::caption_de(Caption::registers_copy));
}

}  // namespace vor3::form
