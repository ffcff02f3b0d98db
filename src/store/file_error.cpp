#include "store/file_error.h"

#include <cstring>

#include "model/captions.h"
#include "store/code_page.h"

namespace vor3::store {

FileError FileError::from_errno(int number) { return {FileProblem::system, std::strerror(number), number}; }

FileError FileError::from_code(const std::error_code& code) {
    return {FileProblem::system, code.message(), code.value()};
}

std::string file_error_text(const FileError& error, const std::string& language) {
    using model::Caption;
    switch (error.problem) {
    case FileProblem::none: return {};
    case FileProblem::system: return error.detail;
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
