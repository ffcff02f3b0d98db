#pragma once
#include "form/controls.h"

namespace vor3::form {

// The window that looks for a sensor of unknown settings on the port chosen
// in the configuration window: which framings, baud rates and parities to
// try, the progress, and the sensors found.
struct FrmScan : Window {
    FrmScan();

    Label lbl_port;                // the port the scan uses
    ControlArray<Label> lbl_scan;  // 0 mode, 1 baud rate, 2 parity, 3 minimum response time
    // The settings to try, in the order of model::kScanModes, kScanBauds
    // and kParities.
    ControlArray<CheckBox> chk_mode;    // 0 RTU, 1 ASCII
    ControlArray<CheckBox> chk_baud;    // 0 57600, 1 38400, 2 19200, 3 9600
    ControlArray<CheckBox> chk_parity;  // 0 None, 1 Even, 2 Odd
    TextBox txt_response;               // the minimum response time each try allows for
    CheckBox chk_first;                 // stop at the first sensor found
    Button cmd_scan;
    Button cmd_stop;
    ProgressBar prg_scan;
    Label lbl_trying;  // the setting and address being tried
    Label lbl_left;    // about how long the scan still takes
    Label lbl_found;   // how many were found, or that none was
    ListBox lst_found;
    Button cmd_take;  // the chosen find into the configuration window
};

}  // namespace vor3::form
