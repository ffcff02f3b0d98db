#pragma once
#include "link/context.h"

namespace vor3::ui {

// Groups: 0 all, 1 configuration registers, 2 external values,
// 3 configuration coils, 4 LED coils. Enables "Werte übernehmen" exactly when
// a field of the scanned group carries the change mark, unless the cyclic
// read-out runs.
void UpdateApplyButton(Context& c, int group);

// Shows the unit of the hidden coil in the unit list when it shows none
// ("0 - °F" after start-up).
void ResetUnitCombo(Context& c);

void chk_cfg_Click(Context& c, int index);
void cmb_bit_cfg_Click(Context& c, int index);
void chk_inp_bit_Click(Context& c, int index);

}  // namespace vor3::ui
