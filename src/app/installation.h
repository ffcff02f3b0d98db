#pragma once
#include <string>

#include "store/registry.h"

namespace vor3::app {

// Where a program keeps its registry hives. The machine hive is installed
// with the program, at ../share/vor3-config/machine.reg from it; a program
// in its build folder has it beside itself. The user's hive is in the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config).
// `config_home` and `home` are the environment's values (nullptr or "" when
// unset).
store::HiveFiles hive_files(const std::string& program_dir, const char* config_home, const char* home);

// The same from this process's environment.
store::HiveFiles hive_files(const std::string& program_dir);

}  // namespace vor3::app
