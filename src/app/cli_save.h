#pragma once
#include <optional>
#include <string>

#include "app/cli_read.h"
#include "app/program.h"
#include "form/platform.h"

namespace vor3::app {

// The file dialog of the command line: the file it was given, every time.
struct GivenFile : form::FileDialog {
    explicit GivenFile(std::string file) : path(std::move(file)) {}
    std::optional<std::string> open_file(const std::string&) override { return path; }
    std::optional<std::string> save_file(const std::string&) override { return path; }
    std::string path;
};

// "Parameter speichern" from the command line, after a read: saves the
// window's configuration to `file` through the file menu. Returns what
// the window showed when the save failed, or nothing. A read-only file is
// refused, where the window would ask.
std::optional<std::string> save_through_menu(Program& p, const CollectedMessages& messages, const std::string& file);

}  // namespace vor3::app
