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

}  // namespace vor3::ui
