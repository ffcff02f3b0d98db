#pragma once
#include <optional>
#include <string>

#include "app/program.h"

namespace vor3::app {

// Enters `value` into the field called `name` ("txt_data_cfg(4)",
// "chk_cfg(2)", as vor3-cli read prints them) the way a user would: its
// page shown, the text selected and typed key by key, the field left; a
// check box ticked or cleared, the temperature unit chosen from its list.
// "." and "," are both taken as the decimal separator in force. Returns
// why the window would not take the value (an unknown or read-only field,
// a refused key, a value the field corrects), or nothing when the field
// now shows it.
std::optional<std::string> enter_value(Program& p, const std::string& name, const std::string& value);

// The value a field shows now (its text, or 0/1 for a check box); nothing
// for a name that is no field.
std::optional<std::string> field_value(const Program& p, const std::string& name);

// Whether a field still carries the change mark: the device has not
// confirmed its value. False for a name that is no field.
bool field_marked(const Program& p, const std::string& name);

// Whether two values of a field mean the same (numbers compared as numbers
// in the program's number format).
bool same_value(const Program& p, const std::string& a, const std::string& b);

}  // namespace vor3::app
