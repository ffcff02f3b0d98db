// The command line's file and settings verbs: save and write --file on
// the simulated sensor, and the registry verb over hive files made here.
#include <gtest/gtest.h>

#include "app/cli_options.h"
#include "app/cli_registry.h"
#include "app/cli_save.h"
#include "app/cli_write.h"
#include "support/cli.h"
#include "support/hives.h"
#include "support/temp_dir.h"

namespace vor3::test {
namespace {

TEST(CliFiles, SavedThenWrittenBackToTheSensorItWasReadFrom) {
    TempDir dir;
    app::CliOptions o = app::parse_cli({"save", "--port", "sim", dir.file("s.txt")});
    {
        Cli cli;
        cli.sensor.set_holding(5, 1500);
        app::CliRead read(cli.prog, cli.msg, o);
        ASSERT_EQ(cli.run(read), app::CliRead::Outcome::Done);
        EXPECT_EQ(app::save_through_menu(cli.prog, cli.msg, dir.file("s.txt")), std::nullopt);
        EXPECT_EQ(app::save_through_menu(cli.prog, cli.msg, dir.file("no/s.txt")).value_or("").rfind("Die Parameterdatei", 0), 0u);
        // No one to ask whether to replace a read-only file: it is refused.
        const std::string kept = dir.write("kept.txt", "old");
        std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
        EXPECT_EQ(app::save_through_menu(cli.prog, cli.msg, kept),
                  "Die Parameterdatei „" + kept + "“ wurde nicht gespeichert: die Datei ist schreibgeschützt");
    }
    // A file saved from another sensor's address still writes the one the
    // link options name.
    std::string file = dir.read("s.txt");
    file.replace(file.find("Adresse: 1"), 10, "Adresse: 7");
    dir.write("s.txt", file);
    Cli fresh;
    o = app::parse_cli({"write", "--port", "sim", "--file", dir.file("s.txt")});
    EXPECT_TRUE(app::CliWrite::check(o).empty());
    app::CliWrite write(fresh.prog, fresh.msg, o);
    EXPECT_EQ(fresh.run(write), app::CliWrite::Outcome::Done) << write.failure_text();
    EXPECT_EQ(fresh.sensor.holding(5), 1500);
    EXPECT_EQ(fresh.prog.frm_config.txt_Modbus_adress.text(), "1");
    EXPECT_EQ(write.changes(), std::vector<std::string>{"txt_data_cfg(5)\tSchaltschwelle rote LED:\t1200 -> 1500"});
}

// A file with a value its field refuses, or a line out of place, is
// refused before the port is opened: nothing is sent.
TEST(CliFiles, AFileWithAValueTheFieldRefusesOrALineOutOfPlaceIsRefused) {
    TempDir dir;
    const std::string head = std::string(10, '\n') + "Adresse: 1\n\n\n\n" + "Register 1 ;x;0\nRegister 2 ;x;0\n";
    const std::string tail = "Register 4 ;x;1\nRegister 5 ;Schaltschwelle gelbe LED:;9500\n";
    const auto refused = [&](const std::string& name, const std::string& text) {
        const auto o = app::parse_cli({"write", "--port", "sim", "--file", dir.write(name, text)});
        const auto why = app::CliWrite::check(o);
        std::string all;
        for (const auto& w : why) all += w + "\n";
        return all;
    };
    const std::string bad = refused("bad.txt", head + "Register 3 ;Device:;0\n" + tail);
    EXPECT_NE(bad.find("Zeile 19 nicht geladen: 9500 liegt nicht zwischen 0 und 3000"), std::string::npos) << bad;
    EXPECT_NE(bad.find("Die Datei endet nach Zeile 19"), std::string::npos) << bad;
    const std::string shifted = refused("shifted.txt", head + tail);
    EXPECT_NE(shifted.find("wurde nicht geladen: Zeile 17 beginnt nicht mit „Register 3“."), std::string::npos) << shifted;
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

TEST(CliRegistry, GetSetAndListTheInstallationsSettings) {
    TempDir dir;
    const store::HiveFiles files{dir.write("machine.reg", machine_hive("/opt/vor3", "1031", "1.0")),
                                 dir.write("user.reg", user_hive("."))};
    EXPECT_EQ(registry(files, {"get", "Pfad"}).out, "/opt/vor3\n");
    EXPECT_EQ(registry(files, {"get", "Nothing"}).out, "\n");
    const auto set = registry(files, {"set", "Language", "1033"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(registry(files, {"get", "language"}).out, "1033\n");
    // The user's settings the window writes are listed too, each under its file.
    store::CRegistry window(files);
    window.Werte(store::kProductKey, "Echo", "1");
    window.Werte(store::kProductKey, "LogFolder", "/srv/logs");
    window.Werte("Software\\Other", "Line\tbreak", "x");
    EXPECT_EQ(registry(files, {"list"}).out, files.machine + "\n  Pfad=/opt/vor3\n  Language=1033\n  Version=1.0\n" +
                                                 files.user + "\n  sDecimal=.\n  Echo=1\n  LogFolder=/srv/logs\n" +
                                                 "  Software\\Other\\Line\\x09break=x\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"get"}, {"set", "Language"}, {"list", "x"}, {"delete", "Pfad"}}) {
        const auto r = registry(files, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("usage: vor3-cli registry", 0), 0u);
    }
}

TEST(CliRegistry, ASettingThatCannotBeStoredIsNamedInTheLanguageInForce) {
    TempDir dir;
    const store::HiveFiles nowhere{dir.file("no/folder/machine.reg"), ""};
    const auto german = registry(nowhere, {"set", "Language", "1033"});
    EXPECT_EQ(german.status, 1);
    EXPECT_EQ(german.err, "vor3-cli: Die Einstellung wurde nicht gespeichert: " + nowhere.machine +
                              ": No such file or directory\n");

    const store::HiveFiles english{dir.write("machine.reg", machine_hive("", "1033")), ""};
    std::filesystem::permissions(english.machine, std::filesystem::perms::owner_read);
    const auto r = registry(english, {"set", "Language", "1031"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vor3-cli: The setting was not stored: " + english.machine + ": the file is read-only\n");
    EXPECT_EQ(registry(english, {"get", "Language"}).out, "1033\n");
}

}  // namespace
}  // namespace vor3::test
