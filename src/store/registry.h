#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "store/file_error.h"
#include "store/hive.h"

// The registry class of the program, over two hive files: the local
// machine's, installed with the program, and the current user's. Only text
// values count: a missing key, a missing value, an empty value or a value
// of another type all read as "".
namespace vor3::store {

// Where the installation keeps its settings, and where the user's
// number format lives.
inline constexpr const char* kProductKey = "SOFTWARE\\Vadivoz Vurizozozeroz GmbH\\VOR3-UZ485-Uvarod-OR2\\";
inline constexpr const char* kInternationalKey = "Control Panel\\International";

inline constexpr const char* kMachineRoot = "HKEY_LOCAL_MACHINE";
inline constexpr const char* kUserRoot = "HKEY_CURRENT_USER";

// The error number a failed write leaves (the object-error base plus 513).
inline constexpr std::uint32_t kRegistryWriteError = 0x80040201u;

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

class CRegistry {
public:
    explicit CRegistry(HiveFiles files) : files_(std::move(files)) {}

    // Read properties: local machine and current user.
    std::string MachineSetting(const std::string& sSection, const std::string& sKey) const;
    std::string Werte(const std::string& sSection, const std::string& sKey) const;

    // Write properties: store a text value in the machine or the user hive,
    // creating the key (and the user's configuration folder, which a new
    // user does not have yet). Each write holds the hive's lock from reading
    // the file to replacing it, so that writers in other programs lose
    // nothing, and keeps every line of the file it does not change. A hive
    // it cannot read, a read-only file, or a name or text the file would not
    // give back as it is are refused. A failure raises nothing; it leaves
    // error_number() at kRegistryWriteError and says why in error_text().
    void MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting);
    void Werte(const std::string& sSection, const std::string& sKey, const std::string& sSetting);

    // Subkeys of a machine key, one per call; "" when there are no more.
    std::string FindFirstMachineKey(const std::string& sSection);
    std::string GetNextMachineKey();

    // Deletes a machine key with all its subkeys; true when it is gone.
    bool DeleteMachineKey(const std::string& sKey);

    std::uint32_t error_number() const { return error_number_; }
    // The file and the reason of the last failed write, in the language
    // given ("1033" English, else German).
    std::string error_text(const std::string& language) const;

private:
    // Reads, changes and writes the hive under its lock. `edit` returns
    // false when there is nothing to write.
    bool change(const std::string& file, const std::function<bool(Hive&, FileError&)>& edit);
    bool fail(const std::string& file, FileError why);  // false

    HiveFiles files_;
    std::optional<std::string> open_key_;  // set by FindFirstMachineKey
    std::uint32_t next_index_ = 0;
    std::uint32_t error_number_ = 0;
    std::string error_file_;
    FileError error_;
};

}  // namespace vor3::store
