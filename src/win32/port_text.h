#pragma once
#include <string>
#include <string_view>

namespace vor3::win32::port_text {

// Names inside the program are UTF-8; Windows takes and gives UTF-16. Bytes
// that are no valid UTF-8 (or UTF-16) become U+FFFD rather than vanish.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// What Windows says about an error number (GetLastError, WSAGetLastError),
// without the trailing line break; "Windows error N" where it says nothing.
std::string system_message(unsigned long error);

}  // namespace vor3::win32::port_text
