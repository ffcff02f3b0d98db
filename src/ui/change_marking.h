#pragma once
#include "form/change_marks.h"
#include "form/context.h"
#include "model/register_map.h"

namespace vor3::ui {

using form::clear_mark;
using form::group_marked;
using form::is_marked;
using form::MarkGroup;

// Paints number field `index` of `array` (configuration or external
// values) after its text changed: the change mark where its value differs
// from the value last read, else, where the sensor holds a value outside
// the range the field takes, a colour of its own and a tip that says so
// (nothing corrects such a value unasked), else the normal colour.
void paint_field(Context& c, model::FieldArray array, int index);

// Enables "Werte übernehmen" exactly when a field of the scanned group
// carries the change mark, unless the cyclic read-out runs.
void UpdateApplyButton(Context& c, MarkGroup group);

// Shows the unit of the hidden coil in the unit list when it shows none
// ("0 - °F" after start-up).
void ResetUnitCombo(Context& c);

void chk_cfg_Click(Context& c, int index);
void cmb_bit_cfg_Click(Context& c, int index);
void chk_inp_bit_Click(Context& c, int index);

}  // namespace vor3::ui
