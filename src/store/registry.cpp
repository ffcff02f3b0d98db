#include "store/registry.h"

#include <filesystem>

#include "store/whole_file.h"

namespace vor3::store {

namespace {

std::string read_text(const std::string& file, const std::string& section, const std::string& name) {
    if (file.empty()) return {};
    std::string error;
    const auto hive = load_hive(file, error);
    if (!hive) return {};
    const HiveKey* key = hive->find(section);
    const HiveValue* v = key ? key->value(name) : nullptr;
    if (!v || v->type != kText || v->data.empty()) return {};
    // A text ends at its first zero character.
    return v->data.substr(0, v->data.find('\0'));
}

}  // namespace

std::optional<Hive> load_hive(const std::string& path, std::string& error) {
    const auto file = read_whole_file(path, kHiveLimit);
    if (file.bytes) return Hive::parse(*file.bytes);
    if (file.missing) return Hive{};
    error = path + ": " + file.error;
    return std::nullopt;
}

std::string CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey) const {
    const std::string own = read_text(files_.machine, sSection, sKey);
    return own.empty() ? read_text(files_.package, sSection, sKey) : own;
}

std::string CRegistry::Werte(const std::string& sSection, const std::string& sKey) const {
    return read_text(files_.user, sSection, sKey);
}

bool CRegistry::store(const std::string& file, const char* root, const Hive& hive) {
    const std::string why = write_whole_file(file, hive.text(root));
    if (why.empty()) return true;
    error_number_ = kRegistryWriteError;
    error_text_ = file + ": " + why;
    return false;
}

void CRegistry::set_text(const std::string& file, const char* root, const std::string& sSection,
                         const std::string& sKey, const std::string& sSetting) {
    auto fail = [this](const std::string& why) {
        error_number_ = kRegistryWriteError;
        error_text_ = why;
    };
    if (file.empty()) return fail(std::string("no hive for ") + root);
    if (normal_key_path(sSection).empty()) return fail("no key given");
    std::string error;
    auto hive = load_hive(file, error);
    // A hive that cannot be read is not overwritten with what little is known.
    if (!hive) return fail(error);
    hive->create(sSection).set({sKey, kText, sSetting});
    store(file, root, *hive);
}

void CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    set_text(files_.machine, kMachineRoot, sSection, sKey, sSetting);
}

void CRegistry::Werte(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    if (!files_.user.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(files_.user).parent_path(), ec);
    }
    set_text(files_.user, kUserRoot, sSection, sKey, sSetting);
}

std::string CRegistry::FindFirstMachineKey(const std::string& sSection) {
    open_key_.reset();
    std::string error;
    const auto hive = files_.machine.empty() ? std::nullopt : load_hive(files_.machine, error);
    if (!hive || !hive->find(sSection)) return {};
    open_key_ = sSection;
    next_index_ = 0;
    return GetNextMachineKey();
}

std::string CRegistry::GetNextMachineKey() {
    const std::uint32_t index = next_index_++;
    if (!open_key_) return {};
    std::string error;
    const auto hive = load_hive(files_.machine, error);
    if (!hive) return {};
    const auto names = hive->subkeys(*open_key_);
    return index < names.size() ? names[index] : std::string();
}

bool CRegistry::DeleteMachineKey(const std::string& sKey) {
    if (files_.machine.empty() || normal_key_path(sKey).empty()) return false;
    std::string error;
    auto hive = load_hive(files_.machine, error);
    if (!hive || !hive->find(sKey)) return false;
    // Subkeys first, each with its own subkeys, as the registry requires.
    auto remove_tree = [&hive](const std::string& path, auto& self) -> bool {
        for (const auto& sub : hive->subkeys(path))
            if (!self(path + "\\" + sub, self)) return false;
        return hive->remove(path);
    };
    if (!remove_tree(normal_key_path(sKey), remove_tree)) return false;
    return store(files_.machine, kMachineRoot, *hive);
}

}  // namespace vor3::store
