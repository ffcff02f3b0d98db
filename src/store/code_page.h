#pragma once
#include <string>
#include <string_view>

// Parameter files keep the 8-bit Western code page (Windows-1252) so that
// they move between this tool and older copies of it; the program itself
// works in UTF-8.
namespace vor3::store {

// A character Windows-1252 lacks, or a broken UTF-8 sequence, becomes "?".
std::string utf8_to_cp1252(std::string_view text);
// The five bytes Windows-1252 leaves undefined become U+FFFD.
std::string cp1252_to_utf8(std::string_view bytes);

}  // namespace vor3::store
