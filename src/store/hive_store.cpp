#include "store/hive_store.h"

#include <cerrno>
#include <filesystem>

#include "store/file_platform.h"
#include "store/fs_path.h"
#include "store/whole_file.h"

namespace vor3::store {

namespace {

// A text ends at its first zero character.
std::string cut_text(const HiveValue& v) { return v.type == kText ? v.data.substr(0, v.data.find('\0')) : ""; }

const char* root_of(Branch branch) { return branch == Branch::user ? kUserRoot : kMachineRoot; }

}  // namespace

std::optional<Hive> load_hive(const std::string& path, FileError& error) {
    const auto file = read_whole_file(path, kHiveLimit);
    if (file.bytes) return Hive::parse(*file.bytes);
    if (file.missing) return Hive{};
    error = file.error;
    return std::nullopt;
}

const std::string& HiveStore::file(Branch branch) const {
    switch (branch) {
    case Branch::machine: return files_.machine;
    case Branch::user: return files_.user;
    case Branch::package: break;
    }
    return files_.package;
}

std::string HiveStore::text(Branch branch, const std::string& key, const std::string& name) const {
    const std::string& path = file(branch);
    if (path.empty()) return {};
    FileError error;
    const auto hive = load_hive(path, error);
    const HiveValue* v = hive ? hive->value(key, name) : nullptr;
    return v ? cut_text(*v) : std::string();
}

bool HiveStore::change(const std::string& file, const std::function<bool(Hive&, FileError&)>& edit,
                       StoreFailure& failure) {
    auto fail = [&](FileError why) {
        failure = {file, std::move(why)};
        return false;
    };
    platform::FileLock lock;
    platform::Target hive_file;
    // A file that cannot be looked at is reported by the read below.
    platform::inspect(file, hive_file);
    if (auto e = lock.lock(file + ".lock", kHiveLockWaitMs, hive_file)) return fail(std::move(e));
    FileError error;
    auto hive = load_hive(file, error);
    if (!hive) return fail(std::move(error));
    // What the reader did not understand would be lost or garbled.
    if (!hive->understood()) return fail(FileError::of(FileProblem::not_a_hive));
    if (!edit(*hive, error)) return error ? fail(std::move(error)) : false;
    const std::string bytes = hive->bytes();
    // The next read would refuse it.
    if (bytes.size() > kHiveLimit) return fail(FileError::from_errno(EFBIG));
    if (auto e = write_whole_file(file, bytes)) return fail(std::move(e));
    return true;
}

StoreFailure HiveStore::set_text(Branch branch, const std::string& key, const std::string& name,
                                 const std::string& text) {
    const std::string& path = file(branch);
    if (path.empty() || branch == Branch::package)
        return {"", FileError::of(FileProblem::system, std::string("no hive for ") + root_of(branch))};
    if (branch == Branch::user) {
        std::error_code ec;
        std::filesystem::create_directories(fs_path(path).parent_path(), ec);
    }
    StoreFailure failure;
    change(
        path,
        [&](Hive& hive, FileError& error) {
            error = hive.set_text(key, name, text, root_of(branch));
            return !error;
        },
        failure);
    return failure;
}

std::optional<std::vector<std::string>> HiveStore::subkeys(Branch branch, const std::string& key) const {
    const std::string& path = file(branch);
    FileError error;
    const auto hive = path.empty() ? std::nullopt : load_hive(path, error);
    if (!hive || !hive->exists(key)) return std::nullopt;
    return hive->subkeys(key);
}

bool HiveStore::remove_tree(Branch branch, const std::string& key, StoreFailure& failure) {
    const std::string& path = file(branch);
    if (path.empty() || branch == Branch::package) return false;
    return change(
        path, [&](Hive& hive, FileError&) { return hive.remove_tree(key); }, failure);
}

StoreFailure HiveStore::check(Branch branch) const {
    const std::string& path = file(branch);
    FileError error;
    if (path.empty() || load_hive(path, error)) return {};
    return {path, std::move(error)};
}

std::vector<StoreListing> HiveStore::list(Branch branch) const {
    const std::string& path = file(branch);
    if (path.empty()) return {};
    StoreListing listing{path, {}, {}};
    const auto hive = load_hive(path, listing.error);
    if (hive) {
        for (const auto* key : hive->keys()) {
            const bool own = hive->find(kProductKey) == key || hive->find(kInternationalKey) == key;
            for (const auto& v : key->values)
                listing.values.emplace_back((own ? "" : key->path + "\\") + v.name, cut_text(v));
        }
    }
    return {std::move(listing)};
}

}  // namespace vor3::store
