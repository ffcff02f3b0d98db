#pragma once
#include "form/controls.h"
#include "form/grid.h"

namespace vor3::form {

// The register view: every register and coil of the sensor as the last
// read gave it, one row each, and a button that copies the table.
struct FrmRegisters : Window {
    FrmRegisters();

    Grid grd_registers;  // address, name, function, raw value, value, unit, range
    Button cmd_copy;
};

}  // namespace vor3::form
