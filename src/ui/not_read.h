#pragma once
#include "link/context.h"
#include "ui/transfer_steps.h"

namespace vor3::ui {

// Shows the fields the read steps given fill as not read: number fields
// empty, check boxes greyed, the unit list without a choice. What the
// sensor held there is forgotten and its part counts as not read, so a
// write refuses it until the next read.
void show_not_read(Context& c, const Steps& steps);

}  // namespace vor3::ui
