#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "form/context.h"

namespace vor3::ui {

// Where the user's hive keeps the line setting and address last used with
// each port, most recent first: "port|9600,E,RTU,1" entries separated by ";".
inline constexpr const char* kPortSettingsValue = "PortSettings";
inline constexpr std::size_t kRememberedPortCount = 16;

// A port's remembered line setting as positions in the window's lists.
struct RememberedLine {
    int baud = 0, parity = 0, mode = 0;
    int address = 1;
};
// One entry's settings ("9600,E,RTU,1"); nothing for anything the lists or
// the address field would not take.
std::optional<RememberedLine> parse_remembered_line(const std::string& text);

// The port is open (or its address changed while open): its line setting
// and address are kept for the next time it is chosen.
void remember_port_settings(Context& c);

// The port chosen in the list was used before: its line setting and
// address come back. A port never used keeps what the lists show. Where
// the address would replace edited values and the user keeps them, the
// port chosen before comes back instead.
void offer_port_settings(Context& c);

}  // namespace vor3::ui
