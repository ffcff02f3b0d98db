#pragma once
#include <string>
#include <string_view>
#include <vector>

// A registry hive kept in a text file in the format of exported registry
// files:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Maker\Product]
//   "Name"="text"
//   "Count"=dword:0000000a
//   "Path"=hex(2):25,00
//
// Key paths are relative to the hive's root and compare without regard to
// case, as registry key names do.
namespace vor3::store {

enum ValueType : int {
    kText = 1,
    kExpandableText = 2,
    kBinary = 3,
    kDword = 4,
    kMultiText = 7,
};

struct HiveValue {
    std::string name;  // "" is the key's default value ("@")
    int type = kText;
    std::string data;  // the raw bytes; text without a closing zero
};

struct HiveKey {
    std::string path;  // as first spelled, components joined by "\"
    std::vector<HiveValue> values;

    const HiveValue* value(std::string_view name) const;
    void set(const HiveValue& v);
};

class Hive {
public:
    // Reads the text tolerantly: a line that does not fit the format is
    // skipped, whatever it holds. A section's root component
    // ("HKEY_LOCAL_MACHINE") is dropped.
    static Hive parse(std::string_view text);
    // The hive as text, its sections under `root`.
    std::string text(std::string_view root) const;

    const HiveKey* find(std::string_view path) const;
    HiveKey* find(std::string_view path);
    // The key, created with any missing parents.
    HiveKey& create(std::string_view path);
    // Names of the direct subkeys, sorted without regard to case.
    std::vector<std::string> subkeys(std::string_view path) const;
    // Removes the key; false when it is missing or still has subkeys.
    bool remove(std::string_view path);

private:
    std::vector<HiveKey> keys_;
};

// The path without empty components, so that a trailing or doubled
// backslash names the same key; the spelling is kept.
std::string normal_key_path(std::string_view path);

}  // namespace vor3::store
