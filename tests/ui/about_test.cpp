// The about box and the help, through the platform's screen and desktop.
#include "ui/config_window.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

const std::string kGermanDoc = "ROZ3 RS485 Modbus CO2, Register MS_1.pdf";
const std::string kEnglishDoc = "ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf";

// English where English is in force: the about box centred on the screen,
// its links opening the mail program and the browser or saying why not,
// and Help the description in that language. A missing description is
// named with where it was looked for.
TEST(AboutBox, ShowsTheVersionCentredOpensItsLinksAndTheHelp) {
    TempDir install;
    install.write("Doc/" + kEnglishDoc, "%PDF");
    InstalledProgram p(Installation().with_machine(machine_hive(install.text(), "1033", "1.0")));
    p.screen.s = {1024, 768};
    p.f.MenueMain(2).press();
    auto& a = p.prog.fAbout;
    EXPECT_TRUE(a.visible() && a.loaded());
    EXPECT_EQ(a.Label1.caption(), "1.0");
    EXPECT_EQ(std::pair(a.left, a.top), std::pair(292, 254));
    EXPECT_EQ(a.caption(), "About");
    EXPECT_EQ(a.lblVersion.caption(), "Vadivoz: Configuration software for VOR3-UZ485-Uvarod-OR2");
    a.lblemail.press();
    a.lblHyperlink.press();
    p.f.MenueMain(3).press();
    EXPECT_EQ(p.desktop.links,
              (std::vector<std::string>{"mailto:info@vadivoz.example", "https://www.vadivoz.example/"}));
    EXPECT_EQ(p.desktop.documents, std::vector<std::string>{store::utf8_of(install.path / "Doc" / kEnglishDoc)});
    EXPECT_TRUE(p.msg.shown.empty());
    p.desktop.works = false;
    a.lblHyperlink.press();
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"\"https://www.vadivoz.example/\" could not be opened."}));
    p.msg.shown.clear();
    p.desktop.failed(p.desktop.documents.front());  // no viewer for it, found only later
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"\"" + p.desktop.documents.front() +
                                                     "\" could not be opened: no program is set up to show it."}));
    ui::frm_config_Unload(p.c);
    EXPECT_FALSE(a.visible() || a.loaded());

    InstalledProgram german(Installation().with_machine(machine_hive("", "1031")));
    german.f.MenueMain(3).press();
    EXPECT_TRUE(german.desktop.documents.empty());
    const std::string doc_folder = store::utf8_of(std::filesystem::path("/Doc").make_preferred());
    EXPECT_EQ(german.msg.shown, std::vector<std::string>{"Die Registerbeschreibung „" + kGermanDoc +
                                                         "“ fehlt.\nGesucht in: " + doc_folder});
}

}  // namespace
}  // namespace vor3::test
