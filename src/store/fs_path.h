#pragma once
#include <filesystem>
#include <string>
#include <string_view>

// Paths are UTF-8 text inside the program. The system's path type reads a
// narrow string in the ANSI code page on Windows ("Jürgen" would become
// "JÃ¼rgen"), so every path is built from text and turned back into text
// through these two, which say UTF-8 on every platform (on POSIX systems
// they copy the bytes as they are).
namespace vor3::store {

// Text that is no UTF-8 (a hive written in another code page) cannot name
// a file where names are UTF-16: its broken sequences become U+FFFD there,
// as they do at the system's own calls, rather than stop the program.
// Elsewhere the bytes stay as they are.
std::filesystem::path fs_path(std::string_view utf8);

inline std::string utf8_of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

}  // namespace vor3::store
