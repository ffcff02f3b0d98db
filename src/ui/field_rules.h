#pragma once
#include <optional>
#include <string>

#include "form/context.h"
#include "model/register_map.h"

namespace vor3::ui {

// Entry rules of the device address, the configuration registers and the
// external values: key filters, change rules (marking), focus-lost
// corrections.
void txt_Modbus_adress_KeyPress(Context& c, int& key);
void txt_Modbus_adress_Change(Context& c);
void txt_data_cfg_KeyPress(Context& c, int index, int& key);
void txt_data_cfg_Change(Context& c, int index);
void txt_data_cfg_LostFocus(Context& c, int index);
void txt_data_in_KeyPress(Context& c, int index, int& key);
void txt_data_in_Change(Context& c, int index);
void txt_data_in_LostFocus(Context& c, int index);

// The values a number field keeps when it is left or stepped; none for
// fields the program never writes (device coding, firmware version).
struct Range {
    double lo;
    double hi;
};
std::optional<Range> accepted_range(const Context& c, model::FieldArray array, int index);
// What a number field's tip says of it: its range, unit and step
// ("0 … 3000 ppm, Schritt 1"); empty for a field without a range.
std::string range_tip(const Context& c, model::FieldArray array, int index);
// Every number field's tip, as the window opens.
void show_range_tips(Context& c);

// The smallest value configuration field `index` keeps when it is left or
// stepped: its spin button's lower limit, 5 for the minimum response time,
// and -255 for a field without a spin button.
double config_lower_bound(const Context& c, int index);

}  // namespace vor3::ui
