#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/file_error.h"

// Where the registry class keeps its values: the hive files, or on Windows
// the system's registry. The class itself decides which setting is read
// from where; a store only reads and writes the place it is asked for.
namespace vor3::store {

// Where the installation keeps its settings, and where the user's
// number format lives.
inline constexpr const char* kProductKey = "SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2\\";
inline constexpr const char* kInternationalKey = "Control Panel\\International";

inline constexpr const char* kMachineRoot = "HKEY_LOCAL_MACHINE";
inline constexpr const char* kUserRoot = "HKEY_CURRENT_USER";

// The machine's settings, the current user's, and the installed package's
// own machine settings, which are read only.
enum class Branch { machine, user, package };

// A write or a read that failed: the file or key (where known) and why.
struct StoreFailure {
    std::string where;
    FileError why;

    explicit operator bool() const { return static_cast<bool>(why); }
};

// The values of one file or key, for a person to read: a value of the
// program's own keys by its name, any other with its key in front; a value
// of another type than text as "".
struct StoreListing {
    std::string where;
    std::vector<std::pair<std::string, std::string>> values;
    FileError error;  // set when the place could not be read
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // A text value, cut at its first zero; "" for a missing key or value
    // and for a value of another type.
    virtual std::string text(Branch branch, const std::string& key, const std::string& name) const = 0;
    // Stores a text value, creating the key with its parents.
    virtual StoreFailure set_text(Branch branch, const std::string& key, const std::string& name,
                                  const std::string& text) = 0;
    // The names of a key's direct subkeys; nothing when the key is missing.
    virtual std::optional<std::vector<std::string>> subkeys(Branch branch, const std::string& key) const = 0;
    // Deletes a key with all its subkeys; false when there was none or it
    // could not be deleted (then `failure` says why).
    virtual bool remove_tree(Branch branch, const std::string& key, StoreFailure& failure) = 0;
    // Why the branch cannot be read at all; nothing when it can, or when
    // there is no such branch.
    virtual StoreFailure check(Branch branch) const = 0;
    // Every value of the branch the program has a use for; nothing when
    // there is no such branch.
    virtual std::vector<StoreListing> list(Branch branch) const = 0;
};

}  // namespace vor3::store
