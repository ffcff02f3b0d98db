#pragma once
#include "form/frm_config.h"
#include "model/register_map.h"

// The change mark is a control's own colour: the layers that fill and
// write the fields read and clear it here, the window paints it.
namespace vor3::form {

// A control the user changed: its value differs from the sensor's.
bool is_marked(const Control& c);
// Field `index` of `array` carries the change mark (a configuration coil
// with a unit list carries it on the list). Measured values never do.
bool is_marked(const FrmConfig& f, model::FieldArray array, int index);
// The sensor holds what the control shows: its mark goes.
void clear_mark(Control& c);

// The parts of the window "Werte übernehmen" writes, each on its own.
enum class MarkGroup { All, ConfigRegisters, ExternalValues, ConfigCoils, LedCoils };
// A field of the group carries the change mark.
bool group_marked(const FrmConfig& f, MarkGroup group);

}  // namespace vor3::form
