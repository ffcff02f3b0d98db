// The about box and the help through the platform's screen and desktop.
#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "ui/about.h"
#include "ui/config_window.h"

namespace vor3::test {
namespace {

const char* const kGermanDoc = "ROZ3 RS485 Modbus CO2, Register MS_1.pdf";
const char* const kEnglishDoc = "ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf";

TEST(AboutBox, ShowsTheVersionCentredOnTheScreen) {
    struct Case { form::ScreenSize screen; int left, top; } cases[] = {{{1920, 1080}, 740, 410}, {{1024, 768}, 292, 254}};
    for (const auto& k : cases) {
        InstalledProgram p(Installation().with_machine(machine_hive("/opt", "1031", "1.0")));
        p.screen.s = k.screen;
        p.f.MenueMain(2).press();
        const auto& a = p.prog.fAbout;
        EXPECT_TRUE(a.visible() && a.loaded());
        EXPECT_EQ(a.Label1.caption(), "1.0");
        EXPECT_EQ(a.left, k.left);
        EXPECT_EQ(a.top, k.top);
    }
    InstalledProgram none(Installation().with_machine(std::nullopt));
    ui::fAbout_Load(none.c);
    EXPECT_EQ(none.prog.fAbout.Label1.caption(), "");
}

TEST(AboutBox, EnglishOnlyWhenEnglishIsInForce) {
    struct Case { const char* language; const char* title; const char* product; } cases[] = {
        {"1033", "About", "Vadivoz: Configuration software for DIR3-ARI-RE485-Vidori-RA2"},
        {"1031", "Information", "Vadivoz: Konfigurationssoftware für VOR3-UZ485-Uvarod-OR2"},
        {"2057", "Information", "Vadivoz: Konfigurationssoftware für VOR3-UZ485-Uvarod-OR2"},
    };
    for (const auto& k : cases) {
        InstalledProgram p(Installation().with_machine(machine_hive("", k.language)));
        ui::fAbout_Load(p.c);
        const auto& a = p.prog.fAbout;
        EXPECT_EQ(a.caption(), k.title);
        EXPECT_EQ(a.lblVersion.caption(), k.product);
        EXPECT_EQ(a.Label2.caption(), "Version:");
        EXPECT_EQ(a.lbl_Software_Hinweis.caption(), "");
        EXPECT_EQ(a.lbl_maker_name.caption(), "Vadivoz Vurizozozeroz GmbH");
        EXPECT_EQ(a.lbltxtEmail.caption(), "E-Mail:");
        EXPECT_EQ(a.lbltxtHyperlink.caption(), "Internet:");
    }
}

TEST(AboutBox, LinksOpenTheMailProgramAndTheBrowser) {
    InstalledProgram p;
    p.f.MenueMain(2).press();
    p.prog.fAbout.lblemail.press();
    p.prog.fAbout.lblHyperlink.press();
    EXPECT_EQ(p.desktop.links, (std::vector<std::string>{"mailto:info@vadivoz.example", "https://www.vadivoz.example/"}));
    EXPECT_TRUE(p.msg.shown.empty());
    p.desktop.works = false;
    p.prog.fAbout.lblHyperlink.press();
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"„https://www.vadivoz.example/“ konnte nicht geöffnet werden."}));
}

TEST(AboutBox, ClosesWithTheConfigurationWindow) {
    InstalledProgram p;
    p.f.MenueMain(2).press();
    ui::frm_config_Unload(p.c);
    EXPECT_FALSE(p.prog.fAbout.visible());
    EXPECT_FALSE(p.prog.fAbout.loaded());
}

TEST(Help, OpensTheDescriptionOfTheLanguageInForce) {
    for (const auto& [language, document] : {std::pair{"1031", kGermanDoc}, std::pair{"1033", kEnglishDoc}}) {
        TempDir install;
        install.write(std::string("Doc/") + kGermanDoc, "%PDF");
        install.write(std::string("Doc/") + kEnglishDoc, "%PDF");
        InstalledProgram p(Installation().with_machine(machine_hive(install.path.string(), language)));
        EXPECT_TRUE(p.f.MenueMain(3).enabled());
        p.f.MenueMain(3).press();
        EXPECT_EQ(p.desktop.documents, (std::vector<std::string>{install.path.string() + "/Doc/" + document}));
        EXPECT_TRUE(p.msg.shown.empty());
    }
}

TEST(Help, AMissingDocumentIsNamedWithWhereItWasLookedFor) {
    TempDir install;
    InstalledProgram p(Installation().with_machine(machine_hive(install.path.string(), "1033")));
    p.f.MenueMain(3).press();
    EXPECT_TRUE(p.desktop.documents.empty());
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.shown[0], std::string("The register description \"") + kEnglishDoc +
                                  "\" is missing.\nLooked for in: " + install.path.string() + "/Doc");
}

TEST(Help, WithoutAnInstallationFolderTheDocumentNameStandsAlone) {
    InstalledProgram p(Installation().with_machine(machine_hive("", "1031")));
    EXPECT_EQ(ui::help_target(p.c), std::string("/Doc/") + kGermanDoc);
    p.f.MenueMain(3).press();
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{std::string("Die Registerbeschreibung „") + kGermanDoc +
                                                     "“ fehlt.\nGesucht in: /Doc"}));
}

}  // namespace
}  // namespace vor3::test
