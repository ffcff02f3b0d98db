#include "store/file_error.h"

#include <cerrno>
#include <cstring>

#include "model/captions.h"
#include "store/code_page.h"

namespace vor3::store {

FileError FileError::from_errno(int number) { return {FileProblem::system, std::strerror(number), number, true}; }

FileError FileError::from_code(const std::error_code& code) {
    const std::error_condition portable = code.default_error_condition();
    if (portable.category() == std::generic_category()) return from_errno(portable.value());
    return {FileProblem::system, code.message(), code.value()};
}

namespace {

// The system's words follow the user's locale, not the program's language:
// inside a German message they may be English, and the reverse.
std::string errno_text(int number, const std::string& language) {
    using model::Caption;
    Caption id = Caption::errno_other;
    switch (number) {
    case ENOENT: id = Caption::errno_not_found; break;
    case EACCES:
    case EPERM: id = Caption::errno_access; break;
    case EEXIST: id = Caption::errno_exists; break;
    case ENOSPC: id = Caption::errno_no_space; break;
    case EROFS: id = Caption::errno_read_only_disk; break;
    case ENAMETOOLONG: id = Caption::errno_name_too_long; break;
    case ENOTDIR: id = Caption::errno_not_folder; break;
    case EISDIR: id = Caption::errno_is_folder; break;
    case ENOMEM: id = Caption::errno_no_memory; break;
    case EFBIG: id = Caption::errno_too_big; break;
    case ELOOP: id = Caption::errno_loop; break;
    case EIO: id = Caption::errno_io; break;
    case EBUSY: id = Caption::errno_busy; break;
#ifdef EDQUOT
    case EDQUOT: id = Caption::errno_quota; break;
#endif
    default: break;
    }
    return model::caption(id, language, {std::to_string(number)});
}

}  // namespace

std::string file_error_text(const FileError& error, const std::string& language) {
    using model::Caption;
    switch (error.problem) {
    case FileProblem::none: return {};
    case FileProblem::system: return error.c_library ? errno_text(error.number, language) : error.detail;
    case FileProblem::not_a_file: return model::caption(Caption::reason_not_a_file, language);
    case FileProblem::read_only: return model::caption(Caption::reason_read_only, language);
    case FileProblem::foreign_link: return model::caption(Caption::reason_foreign_link, language);
    case FileProblem::locked: return model::caption(Caption::reason_hive_locked, language);
    case FileProblem::held_open: return model::caption(Caption::reason_held_open, language);
    case FileProblem::not_a_hive: return model::caption(Caption::reason_not_a_hive, language);
    case FileProblem::not_storable:
        return model::caption(Caption::reason_not_storable, language, {printable(error.detail)});
    case FileProblem::no_right: return model::caption(Caption::reason_no_right, language);
    }
    return error.detail;
}

}  // namespace vor3::store
