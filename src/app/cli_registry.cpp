#include "app/cli_registry.h"

#include "model/captions.h"
#include "store/code_page.h"

namespace vor3::app {

namespace {

using model::Caption;

const char* const kUsage = "usage: vor3-cli registry get NAME | set NAME VALUE | list\n";

// Every value of a hive under its file's name, as the registry class reads
// it: a value of the program's own keys by its name, any other with its
// key in front.
void list_hive(const std::string& file, const std::string& language, std::string& out, std::string& err) {
    if (file.empty()) return;
    out += file + "\n";
    store::FileError error;
    const auto hive = store::load_hive(file, error);
    if (!hive) {
        err += "vor3-cli: " + file + ": " + store::file_error_text(error, language) + "\n";
        return;
    }
    for (const auto* key : hive->keys()) {
        const bool own = hive->find(store::kProductKey) == key || hive->find(store::kInternationalKey) == key;
        for (const auto& v : key->values) {
            const std::string text = v.type == store::kText ? v.data.substr(0, v.data.find('\0')) : "";
            out +=
                "  " + store::printable((own ? "" : key->path + "\\") + v.name) + "=" + store::printable(text) + "\n";
        }
    }
}

}  // namespace

int run_registry(const std::vector<std::string>& args, const store::HiveFiles& files, std::string& out,
                 std::string& err) {
    store::CRegistry registry(files);
    const std::string language = registry.MachineSetting(store::kProductKey, "Language");
    const std::string verb = args.empty() ? "" : args[0];
    if (verb == "get" && args.size() == 2) {
        out += registry.MachineSetting(store::kProductKey, args[1]) + "\n";
        return 0;
    }
    if (verb == "set" && args.size() == 3) {
        registry.MachineSetting(store::kProductKey, args[1], args[2]);
        if (registry.error_number() != 0) {
            err += "vor3-cli: " +
                   model::caption(Caption::msg_setting_not_stored, language, {registry.error_text(language)}) + "\n";
            return 1;
        }
        return 0;
    }
    if (verb == "list" && args.size() == 1) {
        // The package's own hive first, then the one `set` writes, whose
        // values win, then the user's.
        for (const auto& file : {files.package, files.machine, files.user}) list_hive(file, language, out, err);
        return 0;
    }
    err += kUsage;
    return 1;
}

}  // namespace vor3::app
