#include "form/frm_scan.h"

#include "model/captions.h"
#include "model/line_settings.h"

namespace vor3::form {

FrmScan::FrmScan() {
    using model::Caption;
    set_visible(false);
    set_caption(model::caption_de(Caption::frmScan));
    for (Control* c :
         std::initializer_list<Control*>{&lbl_port, &txt_response, &chk_first, &cmd_scan, &cmd_stop, &prg_scan,
                                         &lbl_trying, &lbl_left, &lbl_found, &lst_found, &cmd_take})
        c->set_parent(this);
    const Caption labels[] = {Caption::scan_mode, Caption::scan_baud, Caption::scan_parity, Caption::scan_response};
    for (int i = 0; i < 4; ++i) lbl_scan.add(i).set_caption(model::caption_de(labels[i]));
    for (std::size_t i = 0; i < model::kScanModes.size(); ++i)
        chk_mode.add(static_cast<int>(i)).set_caption(model::framing_name(model::kScanModes[i]));
    for (std::size_t i = 0; i < model::kScanBauds.size(); ++i)
        chk_baud.add(static_cast<int>(i)).set_caption(model::kScanBauds[i]);
    for (std::size_t i = 0; i < model::kParities.size(); ++i)
        chk_parity.add(static_cast<int>(i)).set_caption(model::kParities[i].name);
    for (auto* array : {&chk_mode, &chk_baud, &chk_parity})
        for (auto& [i, box] : *array) {
            box.set_parent(this);
            box.set_value(1);
        }
    for (auto& [i, label] : lbl_scan) label.set_parent(this);
    txt_response.set_max_length(4);
    txt_response.set_text("50");
    chk_first.set_caption(model::caption_de(Caption::chk_first));
    cmd_scan.set_caption(model::caption_de(Caption::cmd_scan));
    cmd_stop.set_caption(model::caption_de(Caption::cmd_stop));
    cmd_stop.set_enabled(false);
    cmd_take.set_caption(model::caption_de(Caption::cmd_take));
    cmd_take.set_enabled(false);
}

}  // namespace vor3::form
