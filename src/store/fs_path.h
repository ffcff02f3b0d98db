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

inline std::filesystem::path fs_path(std::string_view utf8) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string utf8_of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

}  // namespace vor3::store
