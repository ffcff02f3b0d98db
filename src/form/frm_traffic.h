#pragma once
#include "form/controls.h"

namespace vor3::form {

// The traffic window: the frames of the traffic record, newest last, with
// buttons to pause the recording, clear it and save it as text. The lines
// themselves come from the record; the view shows them as they come.
struct FrmTraffic : Window {
    FrmTraffic();

    Button cmd_pause;  // "Anhalten", or "Weiter" while paused
    Button cmd_clear;
    Button cmd_save;
    Label lbl_count;  // how many frames are held
};

}  // namespace vor3::form
