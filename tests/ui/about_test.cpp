// The about box and the help, through the platform's screen and desktop.
#include "ui/about.h"
#include "ui/config_window.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

const std::string kGermanDoc = "ROZ3 RS485 Modbus CO2, Register MS_1.pdf";
const std::string kEnglishDoc = "ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf";

struct Box {
    const char* name;
    const char* language;
    form::ScreenSize screen;
    int left, top;
    const char *title, *product;
};

class AboutBox : public ::testing::TestWithParam<Box> {};

// English only where English is in force; centred on the screen.
TEST_P(AboutBox, ShowsTheVersionCentredInTheLanguageInForce) {
    const auto& k = GetParam();
    InstalledProgram p(Installation().with_machine(machine_hive("/opt", k.language, "1.0")));
    p.screen.s = k.screen;
    p.f.MenueMain(2).press();
    const auto& a = p.prog.fAbout;
    EXPECT_TRUE(a.visible() && a.loaded());
    EXPECT_EQ(a.Label1.caption(), "1.0");
    EXPECT_EQ(a.left, k.left);
    EXPECT_EQ(a.top, k.top);
    EXPECT_EQ(a.caption(), k.title);
    EXPECT_EQ(a.lblVersion.caption(), k.product);
}

const char* const kGerman = "Vadivoz: Konfigurationssoftware für VOR3-UZ485-Uvarod-OR2";
const char* const kEnglish = "Vadivoz: Configuration software for DIR3-ARI-RE485-Vidori-RA2";
INSTANTIATE_TEST_SUITE_P(
    Screens, AboutBox,
    ::testing::Values(Box{"GermanFullHd", "1031", {1920, 1080}, 740, 410, "Information", kGerman},
                      Box{"EnglishXga", "1033", {1024, 768}, 292, 254, "About", kEnglish},
                      Box{"BritishEnglishIsGerman", "2057", {1920, 1080}, 740, 410, "Information", kGerman}),
    kByName);

// Without any hive the program is German, and its version none.
TEST(AboutBox, WithoutAVersionShowsNoneAndClosesWithTheWindow) {
    InstalledProgram p(Installation().with_machine(std::nullopt));
    EXPECT_EQ(p.g.lang.language + p.g.lang.install_path + p.g.lang.decimal_sep, "1031,");
    ui::fAbout_Load(p.c);
    EXPECT_EQ(p.prog.fAbout.Label1.caption(), "");
    ui::frm_config_Unload(p.c);
    EXPECT_FALSE(p.prog.fAbout.visible());
    EXPECT_FALSE(p.prog.fAbout.loaded());
}

TEST(AboutBox, LinksOpenTheMailProgramAndTheBrowser) {
    InstalledProgram p;
    p.f.MenueMain(2).press();
    p.prog.fAbout.lblemail.press();
    p.prog.fAbout.lblHyperlink.press();
    EXPECT_EQ(p.desktop.links,
              (std::vector<std::string>{"mailto:info@vadivoz.example", "https://www.vadivoz.example/"}));
    EXPECT_TRUE(p.msg.shown.empty());
    p.desktop.works = false;
    p.prog.fAbout.lblHyperlink.press();
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"„https://www.vadivoz.example/“ konnte nicht geöffnet werden."}));
}

struct HelpCase {
    const char* name;
    const char* language;
    bool installed;               // the documents are in the installation folder
    bool with_path;               // the hive names the installation folder
    std::string opened, message;  // "$" stands for the installation folder
};

class Help : public ::testing::TestWithParam<HelpCase> {};

// Help opens the description of the language in force; a missing one is
// named with where it was looked for.
TEST_P(Help, OpensTheDescriptionOfTheLanguageInForce) {
    const auto& k = GetParam();
    TempDir install;
    if (k.installed)
        for (const auto& doc : {kGermanDoc, kEnglishDoc}) install.write("Doc/" + doc, "%PDF");
    const std::string folder = k.with_path ? install.path.string() : "";
    InstalledProgram p(Installation().with_machine(machine_hive(folder, k.language)));
    auto in_folder = [&](std::string text) {
        if (auto at = text.find('$'); at != std::string::npos) text.replace(at, 1, folder);
        return text;
    };
    EXPECT_TRUE(p.f.MenueMain(3).enabled());
    p.f.MenueMain(3).press();
    EXPECT_EQ(p.desktop.documents, k.opened.empty() ? std::vector<std::string>{} : std::vector{in_folder(k.opened)});
    EXPECT_EQ(p.msg.shown, k.message.empty() ? std::vector<std::string>{} : std::vector{in_folder(k.message)});
}

INSTANTIATE_TEST_SUITE_P(
    Documents, Help,
    ::testing::Values(HelpCase{"German", "1031", true, true, "$/Doc/" + kGermanDoc, ""},
                      HelpCase{"English", "1033", true, true, "$/Doc/" + kEnglishDoc, ""},
                      HelpCase{"MissingNamesWhereItWasLookedFor", "1033", false, true, "",
                               "The register description \"" + kEnglishDoc + "\" is missing.\nLooked for in: $/Doc"},
                      HelpCase{"WithoutAnInstallationFolderTheNameStandsAlone", "1031", false, false, "",
                               "Die Registerbeschreibung „" + kGermanDoc + "“ fehlt.\nGesucht in: /Doc"}),
    kByName);

}  // namespace
}  // namespace vor3::test
