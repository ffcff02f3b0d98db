// The command line's file verbs on the simulated sensor: save, and write
// --file.
#include <gtest/gtest.h>

#include "app/cli_options.h"
#include "app/cli_save.h"
#include "app/cli_write.h"
#include "support/cli.h"
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
    for (const auto& [text, reason] : std::vector<std::pair<std::string, std::string>>{
             {head + "Register 3 ;Device:;0\n" + tail, "Zeile 19 nicht geladen: 9500 liegt nicht zwischen 0 und 3000"},
             {head + tail, "wurde nicht geladen: Zeile 17 beginnt nicht mit „Register 3“."}}) {
        const auto why =
            app::CliWrite::check(app::parse_cli({"write", "--port", "sim", "--file", dir.write("p.txt", text)}));
        std::string all;
        for (const auto& w : why) all += w + "\n";
        EXPECT_NE(all.find(reason), std::string::npos) << all;
    }
}

}  // namespace
}  // namespace vor3::test
