#include "store/whole_file.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include "store/file_platform.h"
#include "store/fs_path.h"

namespace vor3::store {

namespace fs = std::filesystem;

FileError link_target(const std::string& path, std::string& target) {
    fs::path p = fs_path(path);
    for (int hops = 0;; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        if (hops == 40) return FileError::from_errno(ELOOP);
        // Resolving the link here, the program would go where the system
        // itself refuses to.
        if (auto e = platform::may_follow(utf8_of(p))) return e;
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) return FileError::from_code(ec);
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    target = utf8_of(p);
    return {};
}

namespace {

// A name beside the target that no other writer picks: a random part, and
// exclusive creation when two pick the same all the same.
std::string temporary_name(const std::string& target, std::mt19937& random) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = target + ".vor3-";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int i = 0; i < 8; ++i) name += kLetters[pick(random)];
    return name;
}

}  // namespace

ReadOutcome read_whole_file(const std::string& path, std::size_t limit) {
    ReadOutcome r;
    std::string bytes;
    r.error = platform::read_regular(path, limit, bytes, r.missing);
    if (!r.error) r.bytes = std::move(bytes);
    return r;
}

FileError write_whole_file(const std::string& path, std::string_view bytes, bool replace_read_only) {
    std::string target;
    if (auto e = link_target(path, target)) return e;
    platform::Target old;
    if (auto e = platform::inspect(target, old)) return e;
    if (old.directory) return FileError::from_errno(EISDIR);
    if (old.exists && !old.regular) return FileError::of(FileProblem::not_a_file);
    if (old.read_only && !replace_read_only) return FileError::of(FileProblem::read_only);

    std::mt19937 random(std::random_device{}());
    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        temporary = temporary_name(target, random);
        FileError e = platform::write_new(temporary, old, bytes);
        if (!e) break;
        if (e.number != EEXIST || attempt == 99) return e;
    }
    if (auto e = platform::replace(temporary, target, old)) {
        platform::remove_file(temporary);
        return e;
    }
    return {};
}

bool is_read_only(const std::string& path) {
    std::string target;
    platform::Target t;
    return !link_target(path, target) && !platform::inspect(target, t) && t.exists && t.regular && t.read_only;
}

}  // namespace vor3::store
