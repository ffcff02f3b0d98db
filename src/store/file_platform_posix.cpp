// The file calls of POSIX systems.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "store/file_platform.h"
#include "store/fs_path.h"

namespace vor3::store::platform {

namespace {

FileError system_error() { return FileError::from_errno(errno); }

int open_retrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

FileError write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? system_error() : FileError::from_errno(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

// A lock file made by an earlier version, or by the superuser for another
// user's file, is given to the guarded file's owner alone. Another user's
// lock file this user may write to is not this user's to change, nor is a
// file of more than one name: a hard link planted under the lock's name
// would hand the file it shares to the guarded file's owner.
FileError keep_to_owner(int fd, const Target& owner) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return system_error();
    const bool root = ::geteuid() == 0;
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1 || (!root && st.st_uid != ::geteuid())) return {};
    if (root && owner.exists &&
        (static_cast<long>(st.st_uid) != owner.owner || static_cast<long>(st.st_gid) != owner.group) &&
        ::fchown(fd, static_cast<uid_t>(owner.owner), static_cast<gid_t>(owner.group)) != 0)
        return system_error();
    // After the owner, which may clear some of the mode's bits.
    if ((st.st_mode & 07777) != 0600 && ::fchmod(fd, 0600) != 0) return system_error();
    return {};
}

}  // namespace

FileError read_regular(const std::string& path, std::size_t limit, std::string& bytes, bool& missing) {
    missing = false;
    // Opening a device can act on it (a serial port's control lines, a tape
    // that rewinds when closed): what is no file is refused unopened.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        missing = errno == ENOENT;
        return system_error();
    }
    if (S_ISDIR(st.st_mode)) return FileError::from_errno(EISDIR);
    if (!S_ISREG(st.st_mode)) return FileError::of(FileProblem::not_a_file);
    // Something else may have taken the name since: not waiting for a
    // writer keeps a pipe from hanging the program, and a terminal does not
    // become this program's.
    const int fd = open_retrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        missing = errno == ENOENT;
        return system_error();
    }
    FileError error;
    if (::fstat(fd, &st) != 0)
        error = system_error();
    else if (S_ISDIR(st.st_mode))
        error = FileError::from_errno(EISDIR);
    else if (!S_ISREG(st.st_mode))
        error = FileError::of(FileProblem::not_a_file);
    char buf[65536];
    while (!error) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = system_error();
        if (n <= 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > limit) error = FileError::from_errno(EFBIG);
    }
    ::close(fd);
    if (error) bytes.clear();
    return error;
}

FileError inspect(const std::string& path, Target& target) {
    target = {};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? FileError{} : system_error();
    target.exists = true;
    target.regular = S_ISREG(st.st_mode);
    target.directory = S_ISDIR(st.st_mode);
    // No write permission for anyone is the user's mark, which even the
    // superuser (whom access() lets write anything) keeps to.
    target.read_only = (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
    target.mode = static_cast<unsigned>(st.st_mode & 07777);
    target.owner = static_cast<long>(st.st_uid);
    target.group = static_cast<long>(st.st_gid);
    return {};
}

FileError may_follow(const std::string& link) {
    struct stat l {
    }, folder{};
    if (::lstat(link.c_str(), &l) != 0) return system_error();
    if (!S_ISLNK(l.st_mode)) return {};
    const std::string parent = utf8_of(fs_path(link).parent_path());
    if (::stat(parent.empty() ? "." : parent.c_str(), &folder) != 0) return system_error();
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    if (!shared || l.st_uid == ::geteuid() || l.st_uid == folder.st_uid) return {};
    return FileError::of(FileProblem::foreign_link);
}

FileError write_new(const std::string& temporary, const Target& like, std::string_view bytes) {
    // O_EXCL refuses any name that exists, a planted link included.
    const int fd = open_retrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (fd < 0) return system_error();
    FileError error;
    if (like.exists) {
        // Only the superuser may give the file back to its owner; for
        // anyone else the new file is theirs, as it would be on a copy.
        if (::geteuid() == 0 && ::fchown(fd, static_cast<uid_t>(like.owner), static_cast<gid_t>(like.group)) != 0)
            error = system_error();
        // After the owner, which may clear some of the mode's bits.
        if (!error && ::fchmod(fd, static_cast<mode_t>(like.mode) & ~mode_t{S_ISUID | S_ISGID}) != 0)
            error = system_error();
    }
    if (!error) error = write_all(fd, bytes);
    if (!error && ::fsync(fd) != 0) error = system_error();
    if (::close(fd) != 0 && !error) error = system_error();
    if (error) ::unlink(temporary.c_str());
    return error;
}

FileError open_append(const std::string& path, std::FILE*& file) {
    const int fd = open_retrying(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NOCTTY, 0666);
    if (fd < 0) return system_error();
    file = ::fdopen(fd, "a+b");
    if (file) return {};
    FileError error = system_error();
    ::close(fd);
    return error;
}

FileError replace(const std::string& temporary, const std::string& target, const Target&) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) return system_error();
    sync_folder(utf8_of(fs_path(target).parent_path()));
    return {};
}

void remove_file(const std::string& path) { ::unlink(path.c_str()); }

void sync_folder(const std::string& folder) {
    const int fd = open_retrying(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    // Some file systems cannot sync a folder; the file is in place all the same.
    ::fsync(fd);
    ::close(fd);
}

FileLock::~FileLock() { release(); }

void FileLock::release() {
    if (handle_ < 0) return;
    ::close(static_cast<int>(handle_));  // closing drops the lock
    handle_ = -1;
}

FileError FileLock::lock(const std::string& path, int wait_ms, const Target& owner) {
    release();
    const int fd = open_retrying(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY, 0600);
    if (fd < 0) return system_error();
    handle_ = fd;
    if (auto e = keep_to_owner(fd, owner)) {
        release();
        return e;
    }
    // A lock of the open file, not of the process: two writers in one
    // program exclude each other as two programs do.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            FileError error = system_error();
            release();
            return error;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            release();
            return FileError::of(FileProblem::locked);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {};
}

}  // namespace vor3::store::platform
#endif
