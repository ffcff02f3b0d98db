#include "store/fs_path.h"

#include <system_error>

#include "store/code_page.h"

namespace vor3::store {

namespace {

std::filesystem::path from_utf8(std::string_view text) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

}  // namespace

std::filesystem::path fs_path(std::string_view utf8) {
    try {
        return from_utf8(utf8);
    } catch (const std::system_error&) {  // only where the system's names are UTF-16
        return from_utf8(utf16le_to_utf8(utf8_to_utf16le(utf8)).value_or(std::string()));
    }
}

}  // namespace vor3::store
