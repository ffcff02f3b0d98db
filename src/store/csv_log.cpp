#include "store/csv_log.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "store/file_platform.h"
#include "store/fs_path.h"
#include "store/whole_file.h"

namespace vor3::store {

namespace {

std::string system_error() { return std::strerror(errno ? errno : EIO); }

// The byte that ends the file, or nothing for an empty file.
int last_byte(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0 || std::ftell(f) <= 0) return EOF;
    if (std::fseek(f, -1, SEEK_END) != 0) return EOF;
    const int last = std::fgetc(f);
    // Reading and then writing an update stream needs a seek between.
    std::fseek(f, 0, SEEK_END);
    return last;
}

}  // namespace

std::string CsvLog::open(const std::string& path, const std::string& header, const std::string& language) {
    close();
    std::string target;
    std::FILE* file = nullptr;
    FileError error = link_target(path, target);
    if (!error) error = platform::open_append(target, file);
    if (error) return file_error_text(error, language);
    file_.reset(file);
    path_ = path;
    const int last = last_byte(file_.get());
    std::string why = last == EOF ? append(header) : last != '\n' ? append("") : std::string();
    if (!why.empty()) {
        close();
        return why;
    }
    // A new log's name is in its folder only once the folder is on the disk.
    if (last == EOF) platform::sync_folder(utf8_of(fs_path(target).parent_path()));
    return why;
}

std::string CsvLog::append(const std::string& line) {
    if (!file_) return std::strerror(EBADF);
    errno = 0;
    const bool written = std::fputs(line.c_str(), file_.get()) != EOF && std::fputc('\n', file_.get()) != EOF &&
                         std::fflush(file_.get()) == 0;
    return written ? std::string() : system_error();
}

void CsvLog::close() {
    file_.reset();
    path_.clear();
}

}  // namespace vor3::store
