#include "app/installation.h"

#include <cstdlib>
#include <filesystem>

namespace vor3::app {

store::HiveFiles hive_files(const std::string& program_dir, const char* config_home, const char* home) {
    namespace fs = std::filesystem;
    store::HiveFiles files;
    const fs::path dir(program_dir);
    const fs::path installed = dir.parent_path() / "share" / "vor3-config" / "machine.reg";
    std::error_code ec;
    files.machine = (fs::is_regular_file(installed, ec) ? installed : dir / "machine.reg").string();
    // A relative configuration folder is not one, by the XDG rules.
    fs::path config;
    if (config_home && *config_home && fs::path(config_home).is_absolute())
        config = config_home;
    else if (home && *home)
        config = fs::path(home) / ".config";
    if (!config.empty()) files.user = (config / "vor3-config" / "user.reg").string();
    return files;
}

store::HiveFiles hive_files(const std::string& program_dir) {
    return hive_files(program_dir, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

}  // namespace vor3::app
