#pragma once
#include <optional>
#include <string>
#include <string_view>

// The program works in UTF-8. Parameter files keep the 8-bit Western code
// page (Windows-1252) so that they move between this tool and older copies
// of it; hives exported by the Windows registry editor are UTF-16LE.
namespace vor3::store {

// A character Windows-1252 lacks, or a broken UTF-8 sequence, becomes "?".
std::string utf8_to_cp1252(std::string_view text);
// The five bytes Windows-1252 leaves undefined become U+FFFD.
std::string cp1252_to_utf8(std::string_view bytes);

// UTF-16LE bytes as UTF-8, or nothing when they are not UTF-16.
std::optional<std::string> utf16le_to_utf8(std::string_view bytes);
// UTF-8 as UTF-16LE; a broken sequence becomes U+FFFD.
std::string utf8_to_utf16le(std::string_view text);
// Whether the text is well-formed UTF-8.
bool is_utf8(std::string_view text);

// Text taken from a file, fit for a message: control characters and bytes
// that are no UTF-8 become "\xNN", so that nothing cuts the message short
// (a zero byte) or garbles it (raw bytes of another encoding).
std::string printable(std::string_view text);

}  // namespace vor3::store
