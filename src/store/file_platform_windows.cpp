// The file calls of Windows.
#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "store/file_platform.h"

namespace vor3::store::platform {

namespace {

// Paths are UTF-8 inside the program; Windows takes UTF-16.
std::wstring wide(const std::string& path) {
    if (path.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), n);
    return out;
}

// The C library's number for the reasons a file call commonly gives, so
// that the program says them in the same words on every platform.
int errno_of(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return ENOENT;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    default: return 0;
    }
}

// Any other reason in Windows' own words, in UTF-8 (the C++ library's
// message would be in the ANSI code page).
std::string windows_words(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", n);
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) words.pop_back();
    if (words.empty()) return "Windows error " + std::to_string(code);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, words.data(), static_cast<int>(words.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, words.data(), static_cast<int>(words.size()), out.data(), size, nullptr, nullptr);
    return out;
}

FileError system_error(DWORD code = GetLastError()) {
    if (const int number = errno_of(code)) return FileError::from_errno(number);
    return {FileProblem::system, windows_words(code), static_cast<int>(code)};
}

bool is_missing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// How long a save waits for another program to let go of a file it
// replaces or removes (an editor that shows it, a reader in the middle of
// it, a virus scanner looking at the new file): a user's save may wait that
// long, and such readers mostly close within it.
constexpr auto kHeldOpenWait = std::chrono::seconds(2);
constexpr auto kHeldOpenPause = std::chrono::milliseconds(20);
constexpr int kLetGoRetries = 3;

// Whether another program has `path` open without letting others delete
// it, which keeps it from being replaced or removed. Windows says so as a
// sharing violation or as access denied; only the first is asked here, so
// that a file this user may not change is refused at once.
bool held_open(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool refused_while_open(DWORD code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED; }

// Runs `call` until it succeeds, or fails for another reason than a file
// of `paths` being held open, or the wait is over; the last failure's code
// when it did not succeed, else 0. A holder may let go between the refusal
// and the look at the file (another writer's short read of the hive): such
// a refusal is tried again at once, a few times, before it counts as this
// user's lack of rights.
template <class Call>
DWORD retried_while_held(Call call, std::initializer_list<const std::wstring*> paths) {
    const auto deadline = std::chrono::steady_clock::now() + kHeldOpenWait;
    int let_go = 0;
    for (;;) {
        if (call()) return 0;
        const DWORD code = GetLastError();
        if (!refused_while_open(code)) return code;
        if (std::none_of(paths.begin(), paths.end(), [](const std::wstring* p) { return held_open(*p); })) {
            if (++let_go > kLetGoRetries) return code;
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) return ERROR_SHARING_VIOLATION;
        std::this_thread::sleep_for(kHeldOpenPause);
    }
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

}  // namespace

FileError read_regular(const std::string& path, std::size_t limit, std::string& bytes, bool& missing) {
    missing = false;
    const std::wstring name = wide(path);
    Handle f;
    // A program that holds the file open sharing nothing is waited for, as a save waits.
    const DWORD code = retried_while_held(
        [&] {
            f.h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            return f.h != INVALID_HANDLE_VALUE;
        },
        {&name});
    if (code != 0) {
        missing = is_missing(code);
        return code == ERROR_SHARING_VIOLATION ? FileError::of(FileProblem::held_open) : system_error(code);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(f.h, &info)) return system_error();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileError::from_errno(EISDIR);
    // A pipe or a device would be waited on.
    if (GetFileType(f.h) != FILE_TYPE_DISK) return FileError::of(FileProblem::not_a_file);
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(f.h, buf, sizeof buf, &n, nullptr)) {
            bytes.clear();
            return system_error();
        }
        if (n == 0) return {};
        bytes.append(buf, n);
        if (bytes.size() > limit) {
            bytes.clear();
            return FileError::from_errno(EFBIG);
        }
    }
}

FileError inspect(const std::string& path, Target& target) {
    target = {};
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        return is_missing(code) ? FileError{} : system_error(code);
    }
    target.exists = true;
    target.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    target.regular = !target.directory && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    target.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    target.mode = attributes;
    return {};
}

// Windows has no sticky shared folders; who may follow a link is the
// link's own access control.
FileError may_follow(const std::string&) { return {}; }

FileError write_new(const std::string& temporary, const Target&, std::string_view bytes) {
    const std::wstring name = wide(temporary);
    FileError error;
    {
        Handle f;
        // CREATE_NEW refuses any name that exists, a planted link included.
        f.h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f.h == INVALID_HANDLE_VALUE) return system_error();
        while (!bytes.empty() && !error) {
            DWORD n = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            if (!WriteFile(f.h, bytes.data(), chunk, &n, nullptr) || n == 0)
                error = system_error();
            else
                bytes.remove_prefix(n);
        }
        if (!error && !FlushFileBuffers(f.h)) error = system_error();
    }
    if (error) remove_file(temporary);
    return error;
}

FileError open_append(const std::string& path, std::FILE*& file) {
    file = _wfopen(wide(path).c_str(), L"a+b");
    return file ? FileError{} : FileError::from_errno(errno);
}

FileError replace(const std::string& temporary, const std::string& target, const Target& like) {
    const std::wstring from = wide(temporary), to = wide(target);
    // A read-only file cannot be replaced; the new one gets the mark back.
    const bool read_only = like.exists && (like.mode & FILE_ATTRIBUTE_READONLY);
    if (read_only) SetFileAttributesW(to.c_str(), like.mode & ~FILE_ATTRIBUTE_READONLY);
    const DWORD code = retried_while_held(
        [&] { return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); },
        {&from, &to});
    if (code != 0) {
        if (read_only) SetFileAttributesW(to.c_str(), like.mode);
        return code == ERROR_SHARING_VIOLATION ? FileError::of(FileProblem::held_open) : system_error(code);
    }
    if (read_only) SetFileAttributesW(to.c_str(), like.mode);
    return {};
}

void remove_file(const std::string& path) {
    const std::wstring name = wide(path);
    retried_while_held([&] { return DeleteFileW(name.c_str()); }, {&name});
}

// MOVEFILE_WRITE_THROUGH has already put the folder's change on the disk.
void sync_folder(const std::string&) {}

FileLock::~FileLock() { release(); }

void FileLock::release() {
    if (handle_ == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing drops the lock
    handle_ = -1;
}

// A lock file is made in the guarded file's folder and takes that folder's
// access control.
FileError FileLock::lock(const std::string& path, int wait_ms, const Target&) {
    release();
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return system_error();
    handle_ = reinterpret_cast<std::intptr_t>(h);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        OVERLAPPED at{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return {};
        const DWORD code = GetLastError();
        if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
            release();
            return system_error(code);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            release();
            return FileError::of(FileProblem::locked);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace vor3::store::platform
#endif
