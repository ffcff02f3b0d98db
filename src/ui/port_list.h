#pragma once
#include <cstddef>
#include <string>

#include "form/context.h"

namespace vor3::ui {

// Where the user's hive keeps the ports used last, most recent first,
// separated by ";".
inline constexpr const char* kRecentPortsValue = "RecentPorts";
inline constexpr std::size_t kRecentPortCount = 4;

// The port list as the window loads: the ports used at earlier starts join
// it (a device named by hand is not among the system's ports), and the one
// used last is chosen; without one, the first entry.
void load_port_list(Context& c);

// The user opens the port list: it is filled afresh, so an adapter plugged
// in since shows, and the chosen port stays chosen while it is listed.
void Combo_Port_DropDown(Context& c);

// The user typed a port into the list (a device path): it joins the list
// and is chosen. An empty text changes nothing.
void Combo_Port_TextEntered(Context& c, const std::string& text);

// The port has just opened: it goes first among the ports used last, for
// the next start.
// False where the user's settings could not be written (and the user was
// told).
bool remember_open_port(Context& c);

}  // namespace vor3::ui
