#pragma once
#include <string>
#include <vector>

#include "store/registry.h"

namespace vor3::app {

// vor3-cli registry get NAME | set NAME VALUE | list: the installation's
// settings ("Pfad", "Language", "Version") under the product key of the
// machine's settings, read and written through the registry class; list
// shows every setting of every hive (the package's too), the user's own
// (the decimal separator, "Echo", the log folder) too, under the file each
// lives in, or on Windows under the key of the system's registry. `args` follow
// "registry". Data goes to `out`, messages to `err`, both in the language
// in force. `set` takes only the settings the program reads, and of
// those only values it reads (Language 1031 or 1033, Version a number).
// Returns the exit status: 0 done, 1 usage, a setting refused or not
// stored, or a settings file that could not be read.
int run_registry(const std::vector<std::string>& args, store::CRegistry& registry, std::string& out, std::string& err);
// The same over the registry the platform keeps the settings in: the
// system's on Windows, the hives elsewhere.
int run_registry(const std::vector<std::string>& args, const model::PlatformSettings& platform, std::string& out,
                 std::string& err);
int run_registry(const std::vector<std::string>& args, const store::HiveFiles& files, std::string& out,
                 std::string& err);

}  // namespace vor3::app
