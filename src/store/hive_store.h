#pragma once
#include <functional>
#include <optional>
#include <string>

#include "store/hive.h"
#include "store/registry_store.h"

// The registry in two hive files: the local machine's, installed with the
// program, and the current user's (plus the package's own, read only).
namespace vor3::store {

// The largest hive file the class reads or writes.
inline constexpr std::size_t kHiveLimit = 1u << 20;

// How long a write waits for another program's write to the same hive.
inline constexpr int kHiveLockWaitMs = 5000;

struct HiveFiles {
    std::string machine;  // "": no machine hive
    std::string user;
    // The installed package's own machine settings, never written: a
    // machine value that `machine` lacks is read here ("": none).
    std::string package = {};
};

// The hive in a file, or nothing with the reason; a file that does not
// exist is an empty hive.
std::optional<Hive> load_hive(const std::string& path, FileError& error);

// Each write holds the hive's lock from reading the file to replacing it,
// so that writers in other programs lose nothing, and keeps every line of
// the file it does not change. A hive it cannot read, a read-only file, or
// a name or text the file would not give back as it is are refused. A
// user's write makes the user's configuration folder, which a new user
// does not have yet.
class HiveStore : public RegistryStore {
public:
    explicit HiveStore(HiveFiles files) : files_(std::move(files)) {}

    std::string text(Branch branch, const std::string& key, const std::string& name) const override;
    StoreFailure set_text(Branch branch, const std::string& key, const std::string& name,
                          const std::string& text) override;
    std::optional<std::vector<std::string>> subkeys(Branch branch, const std::string& key) const override;
    bool remove_tree(Branch branch, const std::string& key, StoreFailure& failure) override;
    StoreFailure check(Branch branch) const override;
    std::vector<StoreListing> list(Branch branch) const override;

private:
    const std::string& file(Branch branch) const;
    // Reads, changes and writes the hive under its lock. `edit` returns
    // false when there is nothing to write.
    bool change(const std::string& file, const std::function<bool(Hive&, FileError&)>& edit, StoreFailure& failure);

    HiveFiles files_;
};

}  // namespace vor3::store
