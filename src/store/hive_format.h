#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The pieces of the exported-registry text format a hive file is read and
// written in: its encodings, section lines and value lines.
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

namespace hive_format {

// How the file's bytes are text: "REGEDIT4" files are 8-bit; the Windows
// registry editor exports "Windows Registry Editor Version 5.00" files in
// UTF-16LE with a byte-order mark; some editors put a UTF-8 mark in front.
enum class Encoding { eight_bit, utf8_marked, utf16le };

// The file's text in UTF-8 (8-bit files as they are), or nothing when the
// bytes are in an encoding this format does not use (UTF-16 without its
// mark or big-endian, broken UTF-16, zero bytes in 8-bit text).
std::optional<std::string> decode(std::string_view bytes, Encoding& encoding);
std::string encode(std::string_view text, Encoding encoding);

std::string lower(std::string_view s);
std::string_view trim(std::string_view s);
std::vector<std::string_view> components(std::string_view path);

// The path without empty components, so that a trailing or doubled
// backslash names the same key; the spelling is kept.
std::string normal_key_path(std::string_view path);

bool is_header(std::string_view line);
// A section line's key path without its root ("HKEY_LOCAL_MACHINE"), or
// nothing for a line that is no section or names no key (a deletion
// "[-...]", "[]").
std::optional<std::string> section_path(std::string_view line);
// Whether a value line goes on in the next line: hex data ending in "\".
bool continues(std::string_view line);
// One value line ("Name"=data, @=data), or nothing when it does not fit.
// In a "Version 5.00" file (`wide`) text given in hex is UTF-16.
std::optional<HiveValue> value_line(std::string_view line, bool wide = false);
// The value line of a text value.
std::string text_value_line(std::string_view name, std::string_view text);

}  // namespace hive_format
}  // namespace vor3::store
