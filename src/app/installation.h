#pragma once
#include <string>

#include "store/registry.h"

namespace vor3::app {

// Where a program keeps its registry hives.
//
// An installed program (one in a folder named "bin" that is not a build
// folder) reads Pfad and Version from the package's own hive,
// <prefix>/share/vor3-config/machine.reg, which every upgrade replaces, and
// keeps the settings a user changes (Language) in the machine's settings
// folder, /etc/vor3-config/machine.reg for the prefix /usr, which the
// package ships as a configuration file and so keeps across upgrades.
// Nothing is ever written below the prefix.
//
// A program in its build folder (or a copy in a folder of its own) keeps
// every setting in machine.reg beside itself.
//
// The user's hive is in the user's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config). `config_home` and `home` are the environment's values
// (nullptr or "" when unset).
store::HiveFiles hive_files(const std::string& program_dir, const char* config_home, const char* home);

// The same from this process's environment.
store::HiveFiles hive_files(const std::string& program_dir);

// The folder of machine-wide settings for an installation prefix: /etc for
// /usr, /etc/opt/NAME for /opt/NAME, else <prefix>/etc (as the GNU
// installation folders have it; the package installs there too).
std::string settings_folder(const std::string& prefix);

}  // namespace vor3::app
