#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "store/file_error.h"

// The system's file calls the program's whole-file reads and writes and its
// hive lock need, one small implementation per platform
// (file_platform_posix.cpp, file_platform_windows.cpp). Everything else in
// the core stays with the standard library.
namespace vor3::store::platform {

// Reads a regular file whole, at most `limit` bytes. Anything else (a pipe,
// a device) is refused at once, never waited on. `missing` tells a file
// that does not exist.
FileError read_regular(const std::string& path, std::size_t limit, std::string& bytes, bool& missing);

// What is at a path, links followed.
struct Target {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    bool read_only = false;  // marked so, or not writable by this user
    // What a replacement keeps, where the platform has it.
    unsigned mode = 0;
    long owner = -1, group = -1;
};
FileError inspect(const std::string& path, Target& target);

// Whether a save may go through the symbolic link at `link` (anything else
// passes): in a folder that everyone may write to and only owners may
// delete from (the sticky temporary folder), only a link of this user or of
// the folder's owner, as the system itself follows links there. Another
// user's link there would make this user's save replace or create a file
// that user may not touch.
FileError may_follow(const std::string& link);

// Creates `temporary`, which must not exist (nor be a link), writes the
// bytes and hands them to the disk. It takes the mode and owner of `like`
// when that exists, but never its setuid and setgid bits: what this program
// writes is data, which must not run with its owner's rights. On failure nothing is left behind; a name already taken
// gives the error number EEXIST.
FileError write_new(const std::string& temporary, const Target& like, std::string_view bytes);

// Opens `path` to read and append, making it when it is missing, without
// following a link there: the caller has resolved the links by
// may_follow's rule, and a link planted since would lead elsewhere.
FileError open_append(const std::string& path, std::FILE*& file);

// Puts `temporary` in the place of `target` in one step and hands the
// folder's change to the disk.
FileError replace(const std::string& temporary, const std::string& target, const Target& like);

void remove_file(const std::string& path);

// Hands a folder's entries to the disk, so that a file just made in it
// survives a power cut.
void sync_folder(const std::string& folder);

// An exclusive lock on a lock file, held while the object lives: writers
// that take it one after the other never interleave their read-modify-write.
class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Makes the lock file when it is missing and waits for the lock at most
    // `wait_ms` milliseconds (locked when another holds it longer). Whoever
    // may open a lock file may hold it, even to read only, and so keep every
    // writer out: the file is readable and writable by `owner` (what
    // inspect found for the file it guards) alone.
    FileError lock(const std::string& path, int wait_ms, const Target& owner);

private:
    void release();
    // The open lock file: a descriptor or a handle; -1 is neither.
    std::intptr_t handle_ = -1;
};

}  // namespace vor3::store::platform
