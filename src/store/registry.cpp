#include "store/registry.h"

#include <cerrno>
#include <filesystem>

#include "store/file_platform.h"
#include "store/whole_file.h"

namespace vor3::store {

namespace {

std::string read_text(const std::string& file, const std::string& section, const std::string& name) {
    if (file.empty()) return {};
    FileError error;
    const auto hive = load_hive(file, error);
    const HiveValue* v = hive ? hive->value(section, name) : nullptr;
    if (!v || v->type != kText || v->data.empty()) return {};
    // A text ends at its first zero character.
    return v->data.substr(0, v->data.find('\0'));
}

}  // namespace

std::optional<Hive> load_hive(const std::string& path, FileError& error) {
    const auto file = read_whole_file(path, kHiveLimit);
    if (file.bytes) return Hive::parse(*file.bytes);
    if (file.missing) return Hive{};
    error = file.error;
    return std::nullopt;
}

std::string CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey) const {
    const std::string own = read_text(files_.machine, sSection, sKey);
    return own.empty() ? read_text(files_.package, sSection, sKey) : own;
}

std::string CRegistry::Werte(const std::string& sSection, const std::string& sKey) const {
    return read_text(files_.user, sSection, sKey);
}

bool CRegistry::fail(const std::string& file, FileError why) {
    error_number_ = kRegistryWriteError;
    error_file_ = file;
    error_ = std::move(why);
    return false;
}

std::string CRegistry::error_text(const std::string& language) const {
    const std::string why = file_error_text(error_, language);
    return error_file_.empty() ? why : error_file_ + ": " + why;
}

bool CRegistry::change(const std::string& file, const std::function<bool(Hive&, FileError&)>& edit) {
    platform::FileLock lock;
    platform::Target hive_file;
    // A file that cannot be looked at is reported by the read below.
    platform::inspect(file, hive_file);
    if (auto e = lock.lock(file + ".lock", kHiveLockWaitMs, hive_file)) return fail(file, std::move(e));
    FileError error;
    auto hive = load_hive(file, error);
    if (!hive) return fail(file, std::move(error));
    // What the reader did not understand would be lost or garbled.
    if (!hive->understood()) return fail(file, FileError::of(FileProblem::not_a_hive));
    if (!edit(*hive, error)) return error ? fail(file, std::move(error)) : false;
    const std::string bytes = hive->bytes();
    // The next read would refuse it.
    if (bytes.size() > kHiveLimit) return fail(file, FileError::from_errno(EFBIG));
    if (auto e = write_whole_file(file, bytes)) return fail(file, std::move(e));
    return true;
}

void CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    if (files_.machine.empty()) {
        fail("", FileError::of(FileProblem::system, std::string("no hive for ") + kMachineRoot));
        return;
    }
    change(files_.machine, [&](Hive& hive, FileError& error) {
        error = hive.set_text(sSection, sKey, sSetting, kMachineRoot);
        return !error;
    });
}

void CRegistry::Werte(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    if (files_.user.empty()) {
        fail("", FileError::of(FileProblem::system, std::string("no hive for ") + kUserRoot));
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(files_.user).parent_path(), ec);
    change(files_.user, [&](Hive& hive, FileError& error) {
        error = hive.set_text(sSection, sKey, sSetting, kUserRoot);
        return !error;
    });
}

std::string CRegistry::FindFirstMachineKey(const std::string& sSection) {
    open_key_.reset();
    FileError error;
    const auto hive = files_.machine.empty() ? std::nullopt : load_hive(files_.machine, error);
    if (!hive || !hive->exists(sSection)) return {};
    open_key_ = sSection;
    next_index_ = 0;
    return GetNextMachineKey();
}

std::string CRegistry::GetNextMachineKey() {
    const std::uint32_t index = next_index_++;
    if (!open_key_) return {};
    FileError error;
    const auto hive = load_hive(files_.machine, error);
    if (!hive) return {};
    const auto names = hive->subkeys(*open_key_);
    return index < names.size() ? names[index] : std::string();
}

bool CRegistry::DeleteMachineKey(const std::string& sKey) {
    if (files_.machine.empty()) return false;
    return change(files_.machine, [&](Hive& hive, FileError&) { return hive.remove_tree(sKey); });
}

}  // namespace vor3::store
