#pragma once
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/file_error.h"
#include "store/hive_format.h"

// A registry hive kept in a text file in the format of exported registry
// files:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Maker\Product]
//   "Name"="text"
//   "Count"=dword:0000000a
//
// or the same as a "Windows Registry Editor Version 5.00" file in UTF-16.
// Key paths are relative to the hive's root and compare without regard to
// case, as registry key names do. The hive keeps the file's every line: a
// change rewrites only the line of the value changed, or adds one, so that
// comments and lines the reader does not understand stay as they were, in
// the file's own encoding and line ends.
namespace vor3::store {

using hive_format::normal_key_path;

struct HiveKey {
    std::string path;               // as first spelled, components joined by "\"
    std::vector<HiveValue> values;  // in the order of the file
};

class Hive {
public:
    Hive() = default;
    Hive(Hive&&) = default;
    Hive& operator=(Hive&&) = default;
    // The lines are linked to the keys that own them; a copy would not be.
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    // Reads a hive file's bytes tolerantly: a line that does not fit the
    // format is kept but not read, whatever it holds.
    static Hive parse(std::string_view bytes);
    // Whether the file is one this class can change without harm: a known
    // encoding, and a header before anything else (or no text at all).
    bool understood() const { return understood_; }
    // The file's bytes with the changes made, in its own encoding.
    std::string bytes() const;

    const HiveKey* find(std::string_view path) const;
    const HiveValue* value(std::string_view path, std::string_view name) const;
    // Every key that holds values, in the order of the file.
    std::vector<const HiveKey*> keys() const;
    // A key, or a key's parent (which a file need not list).
    bool exists(std::string_view path) const;
    // Names of the direct subkeys, sorted without regard to case.
    std::vector<std::string> subkeys(std::string_view path) const;

    // Stores a text value, adding the key's section (under `root`) when it
    // is missing. Refused, with nothing changed, for a file not understood
    // and for a key, name or text the file could not give back as it is
    // (a line break or zero byte, or text UTF-16 cannot hold).
    FileError set_text(std::string_view path, std::string_view name, std::string_view text, std::string_view root);
    // Removes the key with all its subkeys; false when there is none.
    bool remove_tree(std::string_view path);

private:
    struct Line {
        std::string text;  // without its line end; a continued value keeps its inner ones
        std::string end;   // "\r\n", "\n", or "" for a last line without one
        bool section = false;
    };
    using LineIt = std::list<Line>::iterator;
    struct Key {
        HiveKey key;
        std::unordered_map<std::string, std::size_t> index;  // lower-case name -> position in key.values
        std::vector<LineIt> value_lines;                     // the line of each value
        std::vector<LineIt> sections;                        // its section lines
        LineIt tail;                                         // the last line with text in its last section
    };

    Key* find_key(std::string_view path);
    Key& add_key(const std::string& path, LineIt section);
    void read_value(Key& key, HiveValue v, LineIt line);
    LineIt insert_after(LineIt at, std::string text, bool section = false);
    void index_keys();

    std::list<Line> lines_;
    std::vector<Key> keys_;
    std::unordered_map<std::string, std::size_t> by_path_;  // lower-case path -> position in keys_
    hive_format::Encoding encoding_ = hive_format::Encoding::eight_bit;
    std::string line_end_ = "\n";  // of lines added: the file's own
    bool header_ = false;
    bool wide_text_ = false;  // "Version 5.00": hex(1) text is UTF-16
    bool understood_ = true;
};

}  // namespace vor3::store
