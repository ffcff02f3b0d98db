#pragma once
#include "app/program.h"
#include "form/virtual_clock.h"
#include "support/fakes.h"

namespace vor3::test {

// One started program on a scripted port under the virtual clock.
struct FakeProgram {
    form::VirtualClock clock;
    FakePort port;
    FakeMessageBox msg;
    FakeConfirm confirm;
    app::Program prog{port, msg, confirm, clock};
    form::FrmConfig& f = prog.frm_config;
    model::Globals& g = prog.g;
    Context& c = prog.ctx;
    FakeProgram() { prog.Main(); }
};

}  // namespace vor3::test
