#pragma once
#include "form/context.h"

namespace vor3::ui {

// Steps a configuration field by its spin button, within the button's
// limits; holding the button repeats every 200 ms.
void step_field(Context& c, int index, bool up);
void UpD_txt_cfg_UpClick(Context& c, int index);
void UpD_txt_cfg_DownClick(Context& c, int index);
void UpD_txt_cfg_MouseDown(Context& c, int index, double x, double y);
void UpD_txt_cfg_MouseMove(Context& c, int index, double x, double y);
void UpD_txt_cfg_MouseUp(Context& c, int index);
void Timer_Timer(Context& c);
// The Up and Down keys and each notch of the mouse wheel step a field with
// a spin button as its arrows do; other fields ignore them.
void txt_data_cfg_KeyDown(Context& c, int index, int key);
void txt_data_cfg_MouseWheel(Context& c, int index, int notches);

}  // namespace vor3::ui
