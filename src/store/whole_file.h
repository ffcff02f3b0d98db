#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Files are read and written whole: a write either replaces the file with
// all of the new bytes or leaves the old file as it was.
namespace vor3::store {

struct ReadOutcome {
    std::optional<std::string> bytes;  // nothing when the file could not be read
    std::string error;                 // why not, in the system's words
    bool missing = false;              // the file does not exist
};

// The file's bytes, at most `limit` of them; a longer file is refused.
ReadOutcome read_whole_file(const std::string& path, std::size_t limit);

// Writes the bytes to a temporary file beside `path` and puts it in the
// file's place. Returns "" when done, else the reason it failed; the old
// file is then unchanged.
std::string write_whole_file(const std::string& path, std::string_view bytes);

}  // namespace vor3::store
