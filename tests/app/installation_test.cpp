// Where a program finds its registry hives.
#include <gtest/gtest.h>

#include "app/installation.h"
#include "support/temp_dir.h"

namespace vor3::test {
namespace {

TEST(Installation, HiveFilesFollowThePlaceOfTheProgramAndTheEnvironment) {
    TempDir root;
    root.write("usr/share/vor3-config/machine.reg", "REGEDIT4\n");
    const std::string installed = root.file("usr/bin"), build = root.file("build");
    struct Case { std::string dir; const char* config_home; const char* home; std::string machine, user; } cases[] = {
        {installed, nullptr, "/home/a", root.file("usr/share/vor3-config/machine.reg"),
         "/home/a/.config/vor3-config/user.reg"},
        {build, "/xdg", "/home/a", root.file("build/machine.reg"), "/xdg/vor3-config/user.reg"},
        {build, "", "/home/a", root.file("build/machine.reg"), "/home/a/.config/vor3-config/user.reg"},
        {build, "relative", "/home/a", root.file("build/machine.reg"), "/home/a/.config/vor3-config/user.reg"},
        {build, nullptr, nullptr, root.file("build/machine.reg"), ""},
    };
    for (const auto& k : cases) {
        const auto files = app::hive_files(k.dir, k.config_home, k.home);
        EXPECT_EQ(files.machine, k.machine) << k.dir;
        EXPECT_EQ(files.user, k.user) << (k.config_home ? k.config_home : "unset");
    }
}

}  // namespace
}  // namespace vor3::test
