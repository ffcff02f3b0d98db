#pragma once
#include "form/controls.h"
#include "form/grid.h"

namespace vor3::form {

// The bus window: every sensor on the line of the configuration window's
// port, found by one search, with its values side by side, and the
// commissioning of a selection of them, one after another.
struct FrmBus : Window {
    FrmBus();

    Label lbl_port;       // the port and the line setting in force
    CheckBox chk_every;   // search every setting, as "Sensor suchen…" does
    Label lbl_simulated;  // on the simulated port: the addresses it carries sensors at
    TextBox txt_simulated;
    Button cmd_search;
    Grid grd_sensors;        // address, location id, coding, firmware, three values, state
    CheckBox chk_location;   // write the location id too, instead of keeping each sensor's
    CheckBox chk_pace;       // the main window's "Schnell (nach Antwort)", shown here too
    Button cmd_write_file;   // a parameter file to each selected sensor
    Button cmd_write_shown;  // the configuration part the main window shows, to each
    Button cmd_abort;        // "Abbruch": stop after the sensor in progress
    Button cmd_report;       // the last run as a CSV report
    ProgressBar prg_bus;
    Label lbl_state;  // what runs now, or how the last run ended
};

}  // namespace vor3::form
