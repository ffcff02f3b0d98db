#include "app/cli_registry.h"

#include <cctype>
#include <optional>

#include "model/captions.h"
#include "model/numbers.h"
#include "store/code_page.h"

namespace vor3::app {

namespace {

using model::Caption;

const char* const kUsage = "usage: vor3-cli registry get NAME | set NAME VALUE | list\n";

// The settings of the installation the program reads, and what each takes:
// a set of anything else would report success and change nothing the
// program uses.
struct Known {
    const char* name;
    bool (*takes)(const std::string& value);
    std::optional<Caption> values;  // what it takes, for the message; none for any text
};
const Known kKnown[] = {
    {"Pfad", [](const std::string&) { return true; }, std::nullopt},
    {"Language", [](const std::string& v) { return v == model::kGerman || v == model::kEnglish; },
     Caption::setting_language_values},
    // Parameter files write it as a number, with either separator.
    {"Version", [](const std::string& v) { return model::locale_number(v, ".") || model::locale_number(v, ","); },
     Caption::setting_version_values},
};

const Known* known(const std::string& name) {
    // Names in a hive are the same in any case.
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (const auto& k : kKnown)
        if (lower(k.name) == lower(name)) return &k;
    return nullptr;
}

// Why `value` is not a value for setting `name`; "" when it is.
std::string refusal(const std::string& name, const std::string& value, const std::string& language) {
    const Known* k = known(name);
    if (!k) {
        std::string names;
        for (const auto& each : kKnown) names += (names.empty() ? "" : ", ") + std::string(each.name);
        return model::caption(Caption::msg_setting_unknown, language, {store::printable(name), names});
    }
    if (k->takes(value)) return {};
    return model::caption(Caption::msg_setting_value, language,
                          {k->name, store::printable(value), model::caption(*k->values, language)});
}

// A place that cannot be read is said, not taken for one without values.
void say(const store::StoreFailure& failure, const std::string& language, std::string& err) {
    err += "vor3-cli: " + failure.where + ": " + store::file_error_text(failure.why, language) + "\n";
}

}  // namespace

int run_registry(const std::vector<std::string>& args, store::CRegistry& registry, std::string& out, std::string& err) {
    const std::string language = registry.MachineSetting(store::kProductKey, "Language");
    const std::string verb = args.empty() ? "" : args[0];
    if (verb == "get" && args.size() == 2) {
        // The value comes from the settings, else from the package's.
        const auto unreadable = registry.unreadable_machine_settings();
        for (const auto& failure : unreadable) say(failure, language, err);
        if (!unreadable.empty()) return 1;
        out += registry.MachineSetting(store::kProductKey, args[1]) + "\n";
        return 0;
    }
    if (verb == "set" && args.size() == 3) {
        if (const std::string why = refusal(args[1], args[2], language); !why.empty()) {
            err += "vor3-cli: " + why + "\n";
            return 1;
        }
        registry.MachineSetting(store::kProductKey, known(args[1])->name, args[2]);
        if (registry.error_number() != 0) {
            err += "vor3-cli: " +
                   model::caption(Caption::msg_setting_not_stored, language, {registry.error_text(language)}) + "\n";
            return 1;
        }
        return 0;
    }
    if (verb == "list" && args.size() == 1) {
        bool all = true;
        for (const auto& place : registry.listing()) {
            out += place.where + "\n";
            if (place.error) {
                say({place.where, place.error}, language, err);
                all = false;
                continue;
            }
            for (const auto& [name, text] : place.values)
                out += "  " + store::printable(name) + "=" + store::printable(text) + "\n";
        }
        return all ? 0 : 1;
    }
    err += kUsage;
    return 1;
}

int run_registry(const std::vector<std::string>& args, const store::HiveFiles& files, std::string& out,
                 std::string& err) {
    store::CRegistry registry(files);
    return run_registry(args, registry, out, err);
}

int run_registry(const std::vector<std::string>& args, const model::PlatformSettings& platform, std::string& out,
                 std::string& err) {
    store::CRegistry registry = store::platform_registry(platform);
    return run_registry(args, registry, out, err);
}

}  // namespace vor3::app
