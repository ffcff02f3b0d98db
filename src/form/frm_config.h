#pragma once
#include <cstdint>
#include <vector>

#include "form/controls.h"
#include "form/timer.h"

namespace vor3::form {

constexpr const char* kAppTitle = "ROZ3 RS485 Modbus CO2 V1.0";

// The controls of the configuration window and its window variables, in
// their design state. Behaviour is attached by the ui layer.
struct FrmConfig : Window {
    explicit FrmConfig(Clock& clock);

    // Serial settings
    Container frm_parameter;
    ControlArray<ComboBox> Combo_Port;  // 0 port, 1 baud, 2 parity, 5 mode, 6 close/open
    ControlArray<Label> lbl_parameter;  // 0, 1, 2, 3, 5, 6, 7, 8
    TextBox txt_Modbus_adress;
    CheckBox chk_echo;  // drop the echo of requests (label lbl_parameter(7))
    CheckBox chk_pace;  // answer-paced transfers (label lbl_parameter(8))
    Label Picture1;     // the maker's logo

    TabControl SSTab1;

    // Page 0
    ControlArray<Container> frm_allg;  // 1
    ControlArray<Container> frm_hold;  // 0
    ControlArray<Container> frm_val;   // 1
    // Page 1
    ControlArray<Container> frm_display;  // 0
    ControlArray<Container> frm_coils;    // 0

    ControlArray<Label> lbl_desc;  // 0, 2, 3, 16, 17
    // The warning line, lbl_desc(16): shown while a transfer did not
    // finish or the sensor stopped answering the read-out.
    Label& warning_line() { return lbl_desc(16); }
    const Label& warning_line() const { return lbl_desc(16); }
    ControlArray<TextBox> txt_data_cfg;    // 0..10
    ControlArray<Label> lbl_cfg;           // 0..10
    ControlArray<UpDown> UpD_txt_cfg;      // 3..10
    ControlArray<Label> lbl_cfg_val;       // 0, 1
    ControlArray<TextBox> txt_data_in;     // 0..5 (3..5 hidden)
    ControlArray<Label> lbl_data_in;       // 0..2
    ControlArray<Label> lbl_unit;          // 0, 1
    ControlArray<Label> lbl_unit_hum;      // 0, 1, 2
    ControlArray<Label> lbl_kelvin;        // 3
    ControlArray<TextBox> txt_data_out;    // 0..2
    ControlArray<Label> lbl_read_out;      // 0..2
    ControlArray<CheckBox> chk_cfg;        // 0..7
    ControlArray<Label> lbl_read_cfg_bit;  // 0..7
    ControlArray<ComboBox> cmb_bit_cfg;    // 3
    ControlArray<CheckBox> chk_inp_bit;    // 0..4
    ControlArray<Label> lbl_read_bit;      // 0..4

    // Actions
    Container Frm_read;
    Button cmd_read_device;
    Button read_out_parameter;
    Button set_parameter;
    CheckBox chk_read_out;
    // Under the buttons: the port and its settings, whether the sensor
    // answers, the line's counts since the port was opened and the last
    // word on a write or a corrected value, one line each.
    Label status_line;

    // Menus
    ControlArray<MenuItem> MenueMain;     // 1..4
    ControlArray<MenuItem> ParMenueMain;  // 1..4: the file menu
    ControlArray<MenuItem> AnsichtMenue;  // 1..6: the view menu (find sensor, traffic, trend, bus, registers)
    // The menus in the order the menu bar shows them: Datei, Ansicht, Über, Hilfe.
    std::vector<MenuItem*> menu_bar;

    // Timers
    form::Timer Timer;      // spin-button auto-repeat
    form::Timer Timer1;     // write blocks
    form::Timer Timer3;     // give-up
    form::Timer Timer4;     // reply poll
    form::Timer Timer5;     // reply time-out
    form::Timer Timer6;     // read blocks
    form::Timer TimerTurn;  // the line's turn: a request waits for late answers to the one before
    form::Timer TimerPace;  // answer-paced: reads the answer as it completes, then sends the next block

    // Window variables
    std::int16_t countReadRegister = 0;
    std::int16_t alreadyRead = 0;
    std::int16_t countWriteRegister = 0;
    std::int16_t alreadyWrite = 0;
    std::int16_t alreadyWriteCoils = 0;
    std::int16_t alreadyWriteBytes = 0;
    bool reply_delay_changed = false;
    bool external_changed = false;
    int spin_index = 0;
    bool spin_up = false;

    // Stops every timer (program end).
    void stop_all_timers();
};

// One request of a transfer as the status window counts it.
struct TransferStep {
    std::int32_t request_kind = 0;
    int first = 0, end = 0;  // the registers or coils it covers, end exclusive
    bool paced = false;      // sent at a block timer's tick, else at once after the answer before
};

// The status window shown while a transfer runs.
struct FrmState : Window {
    explicit FrmState(Clock& clock);

    Label lblTxt;
    Container frameProgress;
    ProgressBar ProgressFile;
    Button Abbruch;
    Button cmdOK;
    form::Timer Timer1SW;  // overall time limit
    form::Timer Timer2SW;  // counts the time left down
    // The transfer shown: its requests in order, the one in flight (the
    // bar's value) and when that one began.
    std::vector<TransferStep> steps;
    int step = 0;
    std::int64_t step_began_ms = 0;
};

}  // namespace vor3::form
