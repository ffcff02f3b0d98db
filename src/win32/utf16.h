#pragma once
#include <string>
#include <string_view>

// Text is UTF-8 inside the program and UTF-16 at every Windows call, never
// the ANSI code page.
namespace vor3::win32 {

// A broken UTF-8 sequence becomes U+FFFD.
std::wstring to_utf16(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string to_utf8(std::wstring_view text);

}  // namespace vor3::win32
