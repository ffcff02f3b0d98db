#include "app/installation.h"

#include <cstdlib>
#include <filesystem>

#include "store/fs_path.h"

namespace vor3::app {

namespace fs = std::filesystem;
using store::fs_path;
using store::utf8_of;

namespace {

// CMake leaves its cache in the build folder, beside the programs.
bool installed(const fs::path& dir) {
    std::error_code ec;
    return dir.filename() == "bin" && !fs::exists(dir / "CMakeCache.txt", ec);
}

}  // namespace

std::string settings_folder(const std::string& prefix) {
    const fs::path p = fs_path(prefix).lexically_normal();
    if (p == "/usr" || p == "/usr/" || p == "/") return "/etc";
    const auto top = p.begin();
    if (p.is_absolute() && std::distance(top, p.end()) > 2 && *std::next(top) == "opt")
        return utf8_of(fs::path("/etc") / p.relative_path());
    return utf8_of(p / "etc");
}

store::HiveFiles hive_files(const std::string& program_dir, const char* config_home, const char* home) {
    store::HiveFiles files;
    fs::path dir = fs_path(program_dir).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();
    if (installed(dir)) {
        const fs::path prefix = dir.parent_path();
        files.package = utf8_of(prefix / "share" / "vor3-config" / "machine.reg");
        files.machine = utf8_of(fs_path(settings_folder(utf8_of(prefix))) / "vor3-config" / "machine.reg");
    } else {
        files.machine = utf8_of(dir / "machine.reg");
    }
    // A relative configuration folder is not one, by the XDG rules.
    fs::path config;
    if (config_home && *config_home && fs_path(config_home).is_absolute())
        config = fs_path(config_home);
    else if (home && *home)
        config = fs_path(home) / ".config";
    if (!config.empty()) files.user = utf8_of(config / "vor3-config" / "user.reg");
    return files;
}

store::HiveFiles hive_files(const std::string& program_dir) {
    return hive_files(program_dir, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

}  // namespace vor3::app
