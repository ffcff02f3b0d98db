#pragma once
#include <functional>

#include "form/frm_config.h"
#include "form/platform.h"
#include "link/context.h"
#include "link/serial_port.h"
#include "model/globals.h"

namespace vor3::app {

// One running program: its shared state, its two windows with their
// behaviour attached, and the platform services it was given.
class Program {
public:
    Program(link::SerialPort& port, form::MessageBox& msg, form::ConfirmDialog& confirm, form::Clock& clock);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up: serial defaults, the window's load sequence, the defaults
    // handed to the port. The view shows the window afterwards.
    void Main();

    model::Globals g;
    form::FrmConfig frm_config;
    form::FrmState frmState;
    Context ctx;
};

}  // namespace vor3::app
