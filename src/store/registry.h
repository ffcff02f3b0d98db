#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/globals.h"
#include "store/file_error.h"
#include "store/hive_store.h"
#include "store/registry_store.h"

// The registry class of the program: the local machine's settings and the
// current user's, in hive files (see hive_store.h) or, on Windows, in the
// system's registry (see system_registry.h). Only text values count: a
// missing key, a missing value, an empty value or a value of another type
// all read as "".
namespace vor3::store {

// The error number a failed write leaves (the object-error base plus 513).
inline constexpr std::uint32_t kRegistryWriteError = 0x80040201u;

class CRegistry {
public:
    explicit CRegistry(HiveFiles files) : store_(std::make_shared<HiveStore>(std::move(files))) {}
    explicit CRegistry(std::shared_ptr<RegistryStore> store) : store_(std::move(store)) {}

    // Read properties: local machine and current user. A machine value the
    // machine's settings lack is read from the package's own.
    std::string MachineSetting(const std::string& sSection, const std::string& sKey) const;
    std::string Werte(const std::string& sSection, const std::string& sKey) const;

    // Write properties: store a text value for the machine or the user,
    // creating the key. A failure raises nothing; it leaves error_number()
    // at kRegistryWriteError and says why in error_text().
    void MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting);
    void Werte(const std::string& sSection, const std::string& sKey, const std::string& sSetting);

    // Subkeys of a machine key, one per call; "" when there are no more.
    std::string FindFirstMachineKey(const std::string& sSection);
    std::string GetNextMachineKey();

    // Deletes a machine key with all its subkeys; true when it is gone.
    bool DeleteMachineKey(const std::string& sKey);

    std::uint32_t error_number() const { return error_number_; }
    // The file or key and the reason of the last failed write, in the
    // language given ("1033" English, else German).
    std::string error_text(const std::string& language) const;

    // Why the machine's settings or the package's cannot be read, each
    // that cannot; empty when both can.
    std::vector<StoreFailure> unreadable_machine_settings() const;
    // Every value of the package's settings, the machine's and the user's,
    // in that order, under the file or key each lives in.
    std::vector<StoreListing> listing() const;

private:
    void fail(StoreFailure failure);

    std::shared_ptr<RegistryStore> store_;
    std::optional<std::string> open_key_;  // set by FindFirstMachineKey
    std::uint32_t next_index_ = 0;
    std::uint32_t error_number_ = 0;
    StoreFailure error_;
};

// The registry where the platform keeps the settings: the system's
// registry where the settings name its keys, else the hives.
CRegistry platform_registry(const model::PlatformSettings& platform);

}  // namespace vor3::store
