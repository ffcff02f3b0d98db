#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "store/file_error.h"

// Files are read and written whole: a write either replaces the file with
// all of the new bytes or leaves the old file as it was.
namespace vor3::store {

struct ReadOutcome {
    std::optional<std::string> bytes;  // nothing when the file could not be read
    FileError error;                   // why not
    bool missing = false;              // the file does not exist
};

// The bytes of a regular file, at most `limit` of them; a longer file, a
// pipe or a device is refused at once.
ReadOutcome read_whole_file(const std::string& path, std::size_t limit);

// The file a chain of symbolic links ends in (the path itself when it is
// no link): a save writes there and leaves the links as they are. A link
// the system would not follow for this user (another user's in a shared
// folder, see platform::may_follow) is refused.
FileError link_target(const std::string& path, std::string& target);

// Writes the bytes to a new file of a name no one else uses beside the
// file link_target finds for `path`, hands them to the disk and puts that
// file in its place, with the old file's mode (setuid and setgid bits
// dropped). A file marked read-only is replaced only when
// `replace_read_only` says so. On failure the old file is unchanged.
FileError write_whole_file(const std::string& path, std::string_view bytes, bool replace_read_only = false);

// Whether `path` names (through any links) a file marked read-only, which
// a save should ask about before replacing.
bool is_read_only(const std::string& path);

}  // namespace vor3::store
