#include "form/frm_traffic.h"

#include "model/captions.h"

namespace vor3::form {

FrmTraffic::FrmTraffic() {
    using model::Caption;
    set_visible(false);
    set_caption(model::caption_de(Caption::frmTraffic));
    for (Control* c : std::initializer_list<Control*>{&cmd_pause, &cmd_clear, &cmd_save, &lbl_count})
        c->set_parent(this);
    cmd_pause.set_caption(model::caption_de(Caption::traffic_pause));
    cmd_clear.set_caption(model::caption_de(Caption::traffic_clear));
    cmd_save.set_caption(model::caption_de(Caption::traffic_save));
}

}  // namespace vor3::form
