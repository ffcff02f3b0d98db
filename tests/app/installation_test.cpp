// Where a program finds its registry hives, which file each setting is
// read from and written to, and the registry verb of vor3-cli over them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <tuple>

#include "app/cli_registry.h"
#include "app/installation.h"
#include "store/registry.h"
#include "support/hives.h"
#include "support/temp_dir.h"

namespace vor3::test {
namespace {

TEST(Installation, HiveFilesFollowThePlaceOfTheProgramAndTheEnvironment) {
    TempDir root;
    root.write("build/CMakeCache.txt", "");
    root.write("build-bin/bin/CMakeCache.txt", "");
    // Written with '/', compared with the system's separator.
    const auto native = [](const std::string& p) { return store::utf8_of(store::fs_path(p).make_preferred()); };
    const std::string r = root.text(), home = native("/home/a"), xdg = native(r + "/xdg");
    const std::string user = native("/home/a/.config/vor3-config/user.reg");
    struct Case {
        std::string dir;
        const char* config_home;
        const char* home;
        std::string machine, package, user;
    };
    std::vector<Case> cases = {
        // A build folder, even one named bin, and a copy in a folder of its own.
        {native(r + "/build"), xdg.c_str(), home.c_str(), native(r + "/build/machine.reg"), "",
         native(r + "/xdg/vor3-config/user.reg")},
        {native(r + "/build-bin/bin"), "", home.c_str(), native(r + "/build-bin/bin/machine.reg"), "", user},
        {native(r + "/copy"), "relative", home.c_str(), native(r + "/copy/machine.reg"), "", user},
        {native(r + "/copy"), nullptr, nullptr, native(r + "/copy/machine.reg"), "", ""},
    };
#ifndef _WIN32
    // Installed: Language under /etc, Pfad and Version with the package,
    // whether or not the package's hive is there.
    cases.insert(cases.begin(), {{"/usr/bin", nullptr, "/home/a", "/etc/vor3-config/machine.reg",
                                  "/usr/share/vor3-config/machine.reg", user},
                                 {"/usr/local/bin/", nullptr, "/home/a", "/usr/local/etc/vor3-config/machine.reg",
                                  "/usr/local/share/vor3-config/machine.reg", user},
                                 {"/opt/vor3/bin", nullptr, "/home/a", "/etc/opt/vor3/vor3-config/machine.reg",
                                  "/opt/vor3/share/vor3-config/machine.reg", user}});
#endif
    for (const auto& k : cases) {
        const auto files = app::hive_files(k.dir, k.config_home, k.home);
        EXPECT_EQ(std::tie(files.machine, files.package, files.user), std::tie(k.machine, k.package, k.user))
            << k.dir << " " << (k.config_home ? k.config_home : "unset");
    }
#ifdef _WIN32
    GTEST_SKIP() << "the installed layout (/usr, /etc, /opt) is the POSIX packages' and is tried there only";
#endif
}

struct RegistryRun {
    int status;
    std::string out, err;
};

RegistryRun registry(const store::HiveFiles& files, const std::vector<std::string>& args) {
    RegistryRun r{};
    r.status = app::run_registry(args, files, r.out, r.err);
    return r;
}

// Pfad and Version come with the package, Language from /etc; a set goes to
// /etc only (an upgrade replaces the package's files) and wins there, and
// makes /etc's hive again when it is gone.
TEST(CliRegistry, AnInstalledProgramWritesItsSettingsOnlyBelowTheSettingsFolder) {
    TempDir root;
    const std::string share = root.file("p/share/vor3-config");
    const std::string package = root.write("p/share/vor3-config/machine.reg", machine_hive(share, "", "1.0"));
    const std::string etc = root.write("p/etc/vor3-config/machine.reg", machine_hive("", "1031", ""));
    auto files = app::hive_files(root.file("p/bin"), nullptr, nullptr);
    ASSERT_EQ(std::tie(files.package, files.machine), std::tie(package, etc));
    files.user = root.write("user.reg", user_hive("."));

    EXPECT_EQ(registry(files, {"get", "Pfad"}).out, share + "\n");
    EXPECT_EQ(registry(files, {"get", "Nothing"}).out, "\n");
    EXPECT_EQ(registry(files, {"set", "Language", "1033"}).status, 0);
    EXPECT_EQ(registry(files, {"set", "Pfad", "/srv/vor3"}).status, 0);
    EXPECT_EQ(registry(files, {"get", "pfad"}).out, "/srv/vor3\n");
    store::CRegistry(files).Werte("Software\\Other", "Line\tbreak", "x");
    EXPECT_EQ(registry(files, {"list"}).out, package + "\n  Pfad=" + share + "\n  Version=1.0\n" + etc +
                                                 "\n  Language=1033\n  Pfad=/srv/vor3\n" + files.user +
                                                 "\n  sDecimal=.\n  Software\\Other\\Line\\x09break=x\n");

    std::filesystem::remove(etc);
    EXPECT_EQ(registry(files, {"get", "Language"}).out, "\n");
    EXPECT_EQ(registry(files, {"set", "Language", "1033"}).status, 0);
    EXPECT_EQ(registry(files, {"get", "Language"}).out, "1033\n");
    EXPECT_EQ(registry(files, {"get", "Version"}).out, "1.0\n");
    EXPECT_FALSE(std::filesystem::exists(root.path / "p/bin"));
    EXPECT_EQ(root.read("p/share/vor3-config/machine.reg"), machine_hive(share, "", "1.0"));

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"get"}, {"set", "Language"}, {"list", "x"}, {"delete", "Pfad"}}) {
        const auto r = registry(files, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("usage: vor3-cli registry", 0), 0u);
    }
    const store::HiveFiles nowhere{root.file("no/folder/machine.reg"), ""};
    const auto refused = registry(nowhere, {"set", "Language", "1033"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "vor3-cli: Die Einstellung wurde nicht gespeichert: " + nowhere.machine +
                               ": Datei oder Ordner nicht gefunden\n");
}

// A set the program would not read (a misspelt name, a language it has
// not) would report success and change nothing; a settings file that cannot
// be read is no empty one.
TEST(CliRegistry, RefusesWhatTheProgramDoesNotReadAndSaysWhatItCannotRead) {
    TempDir root;
    const std::string before = machine_hive("", "1033", "");
    const store::HiveFiles files{root.write("machine.reg", before), ""};
    struct Refused {
        std::vector<std::string> args;
        const char* err;
    } const refused[] = {
        {{"set", "Langauge", "1033"},
         "\"Langauge\" is no setting the program reads; it reads Pfad, Language, Version."},
        {{"set", "Language", "9999"}, "Language takes 1031 (German) or 1033 (English), not \"9999\"."},
        {{"set", "language", "english"}, "Language takes 1031 (German) or 1033 (English), not \"english\"."},
        {{"set", "Language", "1033 "}, "Language takes 1031 (German) or 1033 (English), not \"1033 \"."},
        {{"set", "Version", "neu"}, "Version takes a number (1.0), not \"neu\"."},
    };
    for (const auto& k : refused) {
        const auto r = registry(files, k.args);
        EXPECT_EQ(std::tie(r.status, r.err), std::make_tuple(1, "vor3-cli: " + std::string(k.err) + "\n")) << k.args[1];
    }
    EXPECT_EQ(root.read("machine.reg"), before);
    EXPECT_EQ(registry(files, {"set", "version", "2,5"}).status, 0);
    EXPECT_EQ(registry(files, {"list"}).out, files.machine + "\n  Language=1033\n  Version=2,5\n");

    const std::string folder = root.file("folder.reg"), fifo = root.file("fifo.reg");
    std::filesystem::create_directory(root.at("folder.reg"));
    const std::string huge = root.write("huge.reg", before + std::string(store::kHiveLimit, ';'));
    std::vector<std::string> unreadable = {folder, huge};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    unreadable.push_back(fifo);
#endif
    for (const std::string& file : unreadable)
        for (const auto& [machine, package] : {std::pair(file, files.machine), std::pair(files.machine, file)})
            for (const std::vector<std::string>& args : {std::vector<std::string>{"get", "Language"}, {"list"}}) {
                const auto r = registry({machine, "", package}, args);
                EXPECT_EQ(r.status, 1) << file << " " << args[0];
                EXPECT_NE(r.err.find("vor3-cli: " + file + ": "), std::string::npos) << r.err;
            }
#ifdef _WIN32
    GTEST_SKIP() << "a hive that is a FIFO is tried on POSIX only: Windows has no FIFO in a folder";
#endif
}

}  // namespace
}  // namespace vor3::test
