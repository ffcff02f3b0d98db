#pragma once
#include <cstdio>
#include <memory>
#include <string>

namespace vor3::store {

// A text file that lines are appended to. Each line is handed to the
// system as it is written, so a program that ends at any moment has lost
// none of the lines appended before.
class CsvLog {
public:
    // Opens `path` for appending, making the file when it is missing;
    // `header` goes first into a file that is new or empty. A file that
    // ends in a broken line (an earlier run stopped by a full disk) gets a
    // line end first, so the next line stands on its own. A link is
    // followed only where every save follows one (link_target). Returns ""
    // when open, else the reason in `language` or the system's words; the
    // log is then closed.
    std::string open(const std::string& path, const std::string& header, const std::string& language);
    // Appends `line` and a line end; "" when the system has it, else the
    // reason. The log stays open; the caller decides what follows.
    std::string append(const std::string& line);
    void close();

    bool is_open() const { return file_ != nullptr; }
    // The file logged to, while open.
    const std::string& path() const { return path_; }

private:
    struct CloseFile {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, CloseFile> file_;
    std::string path_;
};

}  // namespace vor3::store
