#pragma once
#include <string>
#include <vector>

#include "form/context.h"

namespace vor3::ui {

// The file menu: 1 loads a parameter file, 2 saves one, 4 ends the
// program (3 is the separator).
void ParMenueMain_Click(Context& c, int index);

// Ask for a file with the file dialog ("Textfile (*.txt)"), then save or
// load it; a cancelled dialog does nothing.
void save_parameters(Context& c);
void load_parameters(Context& c);

// The 33 lines of a parameter file for the window as it stands, in the
// language in force (UTF-8, without line ends).
std::vector<std::string> parameter_file_lines(Context& c);

// Writes the file whole (Windows-1252, CR LF) or not at all; a failure is
// shown with the file's name and the reason. True when written.
bool save_parameter_file(Context& c, const std::string& path);

// Loads the address, configuration registers 2 to 10 and the configuration
// coils from a parameter file into the window's fields by line position,
// so that their change marking runs. A value the field would refuse or
// correct is not loaded; a short file stops at its end. One message names
// every line not loaded and why. True when every field was loaded.
// Without `take_address` the address line is checked but the device
// address stays as it is.
bool load_parameter_file(Context& c, const std::string& path, bool take_address = true);

}  // namespace vor3::ui
