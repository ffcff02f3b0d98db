// The registry class over any store: the rules of where a setting is read
// and written, and a write the store refuses, as the command line says it.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "app/cli_registry.h"
#include "store/registry.h"

namespace vor3::test {
namespace {

using store::Branch;

// Values by branch and name; a write to the machine is refused as a normal
// user's write below HKEY_LOCAL_MACHINE is.
class RefusingStore : public store::RegistryStore {
public:
    std::map<std::pair<Branch, std::string>, std::string> values;
    std::vector<Branch> written;

    std::string text(Branch b, const std::string&, const std::string& name) const override {
        const auto it = values.find({b, name});
        return it == values.end() ? "" : it->second;
    }
    store::StoreFailure set_text(Branch b, const std::string& key, const std::string& name,
                                 const std::string& text) override {
        written.push_back(b);
        if (b == Branch::machine)
            return {std::string(store::kMachineRoot) + "\\" + key, store::FileError::of(store::FileProblem::no_right)};
        values[{b, name}] = text;
        return {};
    }
    std::optional<std::vector<std::string>> subkeys(Branch, const std::string&) const override { return {}; }
    bool remove_tree(Branch, const std::string&, store::StoreFailure&) override { return false; }
    store::StoreFailure check(Branch) const override { return {}; }
    std::vector<store::StoreListing> list(Branch) const override { return {}; }
};

TEST(RegistryRules, TheMachineFallsBackToThePackageAndARefusedWriteIsSaidInTheLanguageInForce) {
    struct Case {
        const char *machine, *package, *read;
    } const cases[] = {{"1033", "1031", "1033"}, {"", "1031", "1031"}, {"", "", ""}};
    for (const auto& k : cases) {
        auto fake = std::make_shared<RefusingStore>();
        fake->values = {{{Branch::machine, "Language"}, k.machine},
                        {{Branch::package, "Language"}, k.package},
                        {{Branch::user, "Language"}, "user's"}};
        const store::CRegistry r(fake);
        EXPECT_EQ(
            std::make_tuple(r.MachineSetting(store::kProductKey, "Language"), r.Werte(store::kProductKey, "Language")),
            std::make_tuple(std::string(k.read), std::string("user's")));
    }

    auto fake = std::make_shared<RefusingStore>();
    store::CRegistry r(fake);
    r.Werte(store::kProductKey, "Echo", "1");
    EXPECT_EQ(r.error_number(), 0u);
    r.MachineSetting(store::kProductKey, "Language", "1033");
    const std::string key = std::string("HKEY_LOCAL_MACHINE\\") + store::kProductKey;
    EXPECT_EQ(std::make_tuple(r.error_number(), r.error_text("1033"), r.error_text("1031")),
              std::make_tuple(store::kRegistryWriteError, key + ": this user may not change it",
                              key + ": dieser Benutzer darf das nicht ändern"));

    for (const auto& [language, said] :
         {std::pair("1033", "The setting was not stored: " + key + ": this user may not change it"),
          std::pair("",
                    "Die Einstellung wurde nicht gespeichert: " + key + ": dieser Benutzer darf das nicht ändern")}) {
        fake->values[{Branch::machine, "Language"}] = language;
        std::string out, err;
        EXPECT_EQ(app::run_registry({"set", "Pfad", "C:\\VOR3"}, r, out, err), 1);
        EXPECT_EQ(err, "vor3-cli: " + said + "\n");
    }
    EXPECT_EQ(fake->written, (std::vector<Branch>{Branch::user, Branch::machine, Branch::machine, Branch::machine}));
}

}  // namespace
}  // namespace vor3::test
