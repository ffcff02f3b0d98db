#include "store/registry.h"

#include "store/system_registry.h"

namespace vor3::store {

namespace {

std::shared_ptr<RegistryStore> platform_store(const model::PlatformSettings& platform) {
#ifdef _WIN32
    if (!platform.machine_key.empty() || !platform.user_key.empty())
        return system_registry({platform.machine_key, platform.user_key});
#endif
    return std::make_shared<HiveStore>(HiveFiles{platform.machine_hive, platform.user_hive, platform.package_hive});
}

}  // namespace

CRegistry platform_registry(const model::PlatformSettings& platform) { return CRegistry(platform_store(platform)); }

std::string CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey) const {
    const std::string own = store_->text(Branch::machine, sSection, sKey);
    return own.empty() ? store_->text(Branch::package, sSection, sKey) : own;
}

std::string CRegistry::Werte(const std::string& sSection, const std::string& sKey) const {
    return store_->text(Branch::user, sSection, sKey);
}

void CRegistry::fail(StoreFailure failure) {
    if (!failure) return;
    error_number_ = kRegistryWriteError;
    error_ = std::move(failure);
}

std::string CRegistry::error_text(const std::string& language) const {
    const std::string why = file_error_text(error_.why, language);
    return error_.where.empty() ? why : error_.where + ": " + why;
}

void CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    fail(store_->set_text(Branch::machine, sSection, sKey, sSetting));
}

void CRegistry::Werte(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    fail(store_->set_text(Branch::user, sSection, sKey, sSetting));
}

std::string CRegistry::FindFirstMachineKey(const std::string& sSection) {
    open_key_.reset();
    if (!store_->subkeys(Branch::machine, sSection)) return {};
    open_key_ = sSection;
    next_index_ = 0;
    return GetNextMachineKey();
}

std::string CRegistry::GetNextMachineKey() {
    const std::uint32_t index = next_index_++;
    if (!open_key_) return {};
    const auto names = store_->subkeys(Branch::machine, *open_key_);
    return names && index < names->size() ? (*names)[index] : std::string();
}

bool CRegistry::DeleteMachineKey(const std::string& sKey) {
    StoreFailure failure;
    const bool gone = store_->remove_tree(Branch::machine, sKey, failure);
    fail(std::move(failure));
    return gone;
}

std::vector<StoreFailure> CRegistry::unreadable_machine_settings() const {
    std::vector<StoreFailure> out;
    for (const Branch b : {Branch::machine, Branch::package})
        if (auto failure = store_->check(b)) out.push_back(std::move(failure));
    return out;
}

std::vector<StoreListing> CRegistry::listing() const {
    std::vector<StoreListing> out;
    // The package's own first, then the machine's, whose values win, then
    // the user's.
    for (const Branch b : {Branch::package, Branch::machine, Branch::user})
        for (auto& l : store_->list(b)) out.push_back(std::move(l));
    return out;
}

}  // namespace vor3::store
