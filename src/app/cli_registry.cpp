#include "app/cli_registry.h"

#include "model/captions.h"
#include "ui/trend_window.h"

namespace vor3::app {

namespace {

using model::Caption;

const char* const kUsage = "usage: vor3-cli registry get NAME | set NAME VALUE | list\n";

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
            err += "vor3-cli: " + model::caption(Caption::msg_setting_not_stored, language, {registry.error_text(language)}) + "\n";
            return 1;
        }
        return 0;
    }
    if (verb == "list" && args.size() == 1) {
        out += files.machine + "\n";
        store::FileError error;
        if (const auto hive = store::load_hive(files.machine, error))
            if (const auto* key = hive->find(store::kProductKey))
                for (const auto& v : key->values)
                    out += "  " + v.name + "=" + registry.MachineSetting(store::kProductKey, v.name) + "\n";
        out += files.user + "\n";
        out += "  sDecimal=" + registry.Werte(store::kInternationalKey, "sDecimal") + "\n";
        out += std::string("  ") + ui::kLogFolderValue + "=" + registry.Werte(store::kProductKey, ui::kLogFolderValue) + "\n";
        return 0;
    }
    err += kUsage;
    return 1;
}

}  // namespace vor3::app
