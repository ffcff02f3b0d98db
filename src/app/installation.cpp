#include "app/installation.h"

#include <cstdlib>
#include <filesystem>

namespace vor3::app {

namespace fs = std::filesystem;

namespace {

// CMake leaves its cache in the build folder, beside the programs.
bool installed(const fs::path& dir) {
    std::error_code ec;
    return dir.filename() == "bin" && !fs::exists(dir / "CMakeCache.txt", ec);
}

}  // namespace

std::string settings_folder(const std::string& prefix) {
    const fs::path p = fs::path(prefix).lexically_normal();
    if (p == "/usr" || p == "/usr/" || p == "/") return "/etc";
    const auto top = p.begin();
    if (p.is_absolute() && std::distance(top, p.end()) > 2 && *std::next(top) == "opt")
        return (fs::path("/etc") / p.relative_path()).string();
    return (p / "etc").string();
}

store::HiveFiles hive_files(const std::string& program_dir, const char* config_home, const char* home) {
    store::HiveFiles files;
    fs::path dir = fs::path(program_dir).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();
    if (installed(dir)) {
        const fs::path prefix = dir.parent_path();
        files.package = (prefix / "share" / "vor3-config" / "machine.reg").string();
        files.machine = (fs::path(settings_folder(prefix.string())) / "vor3-config" / "machine.reg").string();
    } else {
        files.machine = (dir / "machine.reg").string();
    }
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
