#pragma once
#include <optional>
#include <string>

#include "form/context.h"

namespace vor3::ops {

// The device address as two hex digits, or nothing when the field is empty.
std::optional<std::string> address_part(const Context& c);

void cmd_read_device_Click(Context& c);
void ReadConfigCoils(Context& c);
void WriteConfigCoils(Context& c);
void WriteLedCoils(Context& c);
void ReadExternalValues(Context& c);
void ReadLedCoils(Context& c);

}  // namespace vor3::ops
