#pragma once
#include <string>

#include "form/context.h"
#include "ui/transfer_steps.h"

namespace vor3::ui {

// Shows the fields the read steps given fill as not read: number fields
// empty, check boxes greyed, the unit list without a choice. What the
// sensor held there is forgotten and its part counts as not read, so a
// write refuses it until the next read.
void show_not_read(Context& c, const Steps& steps);

// The port was opened or the device address changed. Where the port, its
// settings or the address differ from those the values shown came through,
// another sensor may answer: the last one's values are shown as not read
// until the next read. Values no sensor gave (a parameter file loaded
// before any read) stay, to be written.
void note_sensor_line(Context& c);

// The port, line settings and address the window's lists and address
// field name now.
std::string sensor_line(const Context& c);
// The read steps whose values note_sensor_line would show as not read if
// it ran now: none while the line is the one the values came through.
Steps sensor_line_drops(const Context& c);

}  // namespace vor3::ui
