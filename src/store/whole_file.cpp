#include "store/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vor3::store {

namespace {

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

std::string system_error() { return std::strerror(errno); }

}  // namespace

ReadOutcome read_whole_file(const std::string& path, std::size_t limit) {
    ReadOutcome r;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        r.error = std::strerror(EISDIR);
        return r;
    }
    errno = 0;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        r.missing = errno == ENOENT;
        r.error = system_error();
        return r;
    }
    std::string bytes;
    char buf[8192];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        bytes.append(buf, n);
        if (bytes.size() > limit) {
            r.error = std::strerror(EFBIG);
            return r;
        }
    }
    if (std::ferror(f.get())) {
        r.error = system_error();
        return r;
    }
    r.bytes = std::move(bytes);
    return r;
}

std::string write_whole_file(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::strerror(EISDIR);
    const std::string temporary = path + ".vor3-new";
    errno = 0;
    File f(std::fopen(temporary.c_str(), "wb"));
    if (!f) return system_error();
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    std::string error = written ? "" : system_error();
    // Closing flushes: a full disk may show only here.
    if (std::fclose(f.release()) != 0 && written) {
        written = false;
        error = system_error();
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = system_error();
    }
    if (!written) std::remove(temporary.c_str());
    return written ? "" : (error.empty() ? std::string(std::strerror(EIO)) : error);
}

}  // namespace vor3::store
