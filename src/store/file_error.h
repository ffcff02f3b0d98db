#pragma once
#include <string>
#include <system_error>

// Why a file was not read or written: the system's own reason, or one the
// program found before asking the system (a pipe where a file should be, a
// file marked read-only, a hive it cannot keep).
namespace vor3::store {

enum class FileProblem {
    none,
    system,        // the system refused; `detail` holds its words
    not_a_file,    // a pipe, a device or a socket: reading it could wait for ever
    read_only,     // the user marked the file read-only
    foreign_link,  // another user's symbolic link in a shared folder, which the system would not follow
    locked,        // another program holds the hive for its own write
    held_open,     // another program holds the file open, so it cannot be replaced (Windows)
    not_a_hive,    // not a registry file this program can read, so it cannot keep it
    not_storable,  // `detail` (a name or a value) would not read back as it was given
    no_right,      // the system keeps this user out (a machine setting as a normal user)
};

struct FileError {
    FileProblem problem = FileProblem::none;
    std::string detail;
    int number = 0;  // the system's error number, for `system`
    // `number` is the C library's (errno), which the program names in its
    // own words in either language; else the system's own words stand.
    bool c_library = false;

    explicit operator bool() const { return problem != FileProblem::none; }

    static FileError of(FileProblem problem, std::string detail = {}) { return {problem, std::move(detail), 0}; }
    // An error number of the C library (errno).
    static FileError from_errno(int number);
    static FileError from_code(const std::error_code& code);
};

// The reason in the language in force ("1033" English, else German); a
// system's reason the program cannot name in the system's words.
std::string file_error_text(const FileError& error, const std::string& language);

}  // namespace vor3::store
