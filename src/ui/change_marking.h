#pragma once
#include "link/context.h"
#include "model/register_map.h"

namespace vor3::ui {

// A control the user changed: its value differs from the sensor's.
bool is_marked(const form::Control& c);

// Paints number field `index` of `array` (configuration or external
// values) after its text changed: the change mark where its value differs
// from the value last read, else, where the sensor holds a value outside
// the range the field takes, a colour of its own and a tip that says so
// (nothing corrects such a value unasked), else the normal colour.
void paint_field(Context& c, model::FieldArray array, int index);

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
