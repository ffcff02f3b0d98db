#pragma once
#include <string>

#include "form/context.h"

namespace vor3::ui {

// The menu bar: 1 opens the file menu, 2 the about box, 3 the help.
void MenueMain_Click(Context& c, int index);

// The about box: the version from the registry, centred on the screen,
// English when English is in force.
void fAbout_Load(Context& c);
// The user closed the box.
void fAbout_Unload(Context& c);
// The links open a new mail to the maker and the maker's web page.
void lblemail_Click(Context& c);
void lblHyperlink_Click(Context& c);

// The register description in the language in force: the installation
// folder followed by the document's name, with the platform's separator.
std::string help_target(const Context& c);
// Opens it with the desktop's default application; a missing document is
// named to the user with the place it was looked for.
void open_help(Context& c);

}  // namespace vor3::ui
