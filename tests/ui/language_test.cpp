// The language routine: which language a registry value means, every
// caption of the configuration and status windows in it, the file texts,
// the help document and the decimal separator.
#include <gtest/gtest.h>

#include <functional>

#include "model/register_map.h"
#include "support/fake_platform.h"
#include "ui/language.h"
#include "ui/status_window.h"

namespace vor3::test {
namespace {

using Get = std::function<const form::Control&(const form::FrmConfig&)>;

struct Expected {
    Get control;
    const char* de;
    const char* en;
};

// The captions as the window shows them, written out here so that a slip in
// the table shows as well as a slip in applying it.
const std::vector<Expected>& main_window_captions() {
    static const std::vector<Expected> rows = {
        {[](auto& f) -> auto& { return f.cmd_read_device; }, "Gerät auslesen", "&Read device"},
        {[](auto& f) -> auto& { return f.read_out_parameter; }, "Abbrechen", "&Cancel"},
        {[](auto& f) -> auto& { return f.set_parameter; }, "Werte übernehmen", "A&pply"},
        {[](auto& f) -> auto& { return f.lbl_desc(16); }, "Kommunikationsprobleme, bitte Einstellungen überprüfen!",
         "Communication error! Check settings!"},
        {[](auto& f) -> auto& { return f.lbl_desc(17); }, "Ausgaberegister lesen:", "Read input register :"},
        {[](auto& f) -> auto& { return f.lbl_desc(0); }, "Konfigurationsregister", "Configuration register"},
        {[](auto& f) -> auto& { return f.lbl_desc(2); }, "Konfigurationsregister", "Configuration register"},
        {[](auto& f) -> auto& { return f.lbl_desc(3); }, "Konfigurationscoils", "Configuration coils"},
        {[](auto& f) -> auto& { return f.MenueMain(1); }, "&Datei", "&File"},
        {[](auto& f) -> auto& { return f.MenueMain(2); }, "&Über", "&About"},
        {[](auto& f) -> auto& { return f.MenueMain(3); }, "&Hilfe", "&Help"},
        {[](auto& f) -> auto& { return f.ParMenueMain(1); }, "&Parameter laden", "&Load parameters"},
        {[](auto& f) -> auto& { return f.ParMenueMain(2); }, "&Parameter speichern", "&Save parameters"},
        {[](auto& f) -> auto& { return f.ParMenueMain(3); }, "-", "-"},
        {[](auto& f) -> auto& { return f.ParMenueMain(4); }, "&Beenden", "E&xit"},
        {[](auto& f) -> auto& { return f.MenueMain(4); }, "&Ansicht", "&View"},
        {[](auto& f) -> auto& { return f.AnsichtMenue(1); }, "Sensor &suchen…", "&Find sensor…"},
        {[](auto& f) -> auto& { return f.AnsichtMenue(3); }, "&Verkehr", "&Traffic"},
        {[](auto& f) -> auto& { return f.AnsichtMenue(4); }, "Ver&lauf", "T&rend"},
        {[](auto& f) -> auto& { return f.AnsichtMenue(5); }, "&Bus…", "&Bus…"},
        {[](auto& f) -> auto& { return f.frm_allg(1); }, "Gerätekonfiguration", "General settings"},
        {[](auto& f) -> auto& { return f.frm_hold(0); }, "Eingaberegister", "Holding register"},
        {[](auto& f) -> auto& { return f.frm_coils(0); }, "Eingabecoils", "Coils"},
        {[](auto& f) -> auto& { return f.frm_display(0); }, "Konfiguration", "Configuration"},
        {[](auto& f) -> auto& { return f.frm_val(1); }, "Ausgaberegister", "Output register"},
        {[](auto& f) -> auto& { return f.frm_parameter; }, "Parameter", "Parameter"},
        {[](auto& f) -> auto& { return f.lbl_parameter(0); }, "Modbus address", "Modbus address"},
        {[](auto& f) -> auto& { return f.lbl_parameter(2); }, "Parity", "Parity"},
        {[](auto& f) -> auto& { return f.lbl_unit(0); }, "°C", "°C"},
        {[](auto& f) -> auto& { return f.lbl_unit_hum(1); }, "%rH", "%rH"},
        {[](auto& f) -> auto& { return f.lbl_cfg(3); }, "Standortkennung:", "Device location:"},
        {[](auto& f) -> auto& { return f.lbl_cfg(2); }, "Device:", "Device:"},
        {[](auto& f) -> auto& { return f.lbl_read_cfg_bit(6); }, "Komma Feuchte:", "Comma humidtiy :"},
        {[](auto& f) -> auto& { return f.lbl_read_bit(1); }, "LED grün:", "Green LED :"},
        {[](auto& f) -> auto& { return f.lbl_read_bit(4); }, "Ansteuerung LED:", "Ansteuerung LED:"},
    };
    return rows;
}

// The label of a device field.
const form::Control& label_of(const form::FrmConfig& f, const model::FieldSpec& field) {
    switch (field.array) {
    case model::FieldArray::txt_data_cfg: return f.lbl_cfg(field.index);
    case model::FieldArray::txt_data_out: return f.lbl_read_out(field.index);
    case model::FieldArray::txt_data_in: return f.lbl_data_in(field.index);
    case model::FieldArray::chk_cfg: return f.lbl_read_cfg_bit(field.index);
    case model::FieldArray::chk_inp_bit: return f.lbl_read_bit(field.index);
    }
    throw std::logic_error("no label");
}

struct LanguageCase {
    const char* name;
    std::string language;  // "-" leaves the value out
    bool english;
};
void PrintTo(const LanguageCase& k, std::ostream* os) { *os << k.name; }

class LanguageValue : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageValue, SetsEveryCaptionTheFileTextsAndTheHelpDocument) {
    const auto& k = GetParam();
    InstalledProgram p(Installation().with_machine(machine_hive("/opt/vor3", k.language == "-" ? "" : k.language)));
    ui::frmState_Load(p.c);
    const auto& l = p.g.lang;
    EXPECT_EQ(l.language, k.english ? "1033" : "1031");
    EXPECT_EQ(l.install_path, "/opt/vor3");
    EXPECT_EQ(l.help_document, k.english ? "\\Doc\\ROZ3 RS485 Modbus CO2, Register MS_1_eng.pdf"
                                         : "\\Doc\\ROZ3 RS485 Modbus CO2, Register MS_1.pdf");

    for (const auto& row : main_window_captions())
        EXPECT_EQ(row.control(p.f).caption(), k.english ? row.en : row.de);
    for (const auto& field : model::field_map())
        EXPECT_EQ(label_of(p.f, field).caption(), k.english ? field.caption_en : field.caption_de);
    const std::vector<std::string> tabs = k.english ? std::vector<std::string>{"General", "Display"}
                                                    : std::vector<std::string>{"Allgemein", "Anzeige"};
    EXPECT_EQ(p.f.SSTab1.tab_captions, tabs);

    const auto& s = p.prog.frmState;
    EXPECT_EQ(s.caption(), k.english ? "State" : "Status");
    EXPECT_EQ(s.Abbruch.caption(), k.english ? "&Cancel" : "Abbruch");
    EXPECT_EQ(s.lblTxt.caption(), k.english ? "Waiting ..." : "Warten ...");
    EXPECT_EQ(s.cmdOK.caption(), "Schließen");

    const std::vector<std::string> de = {"Als Trennzeichen Semikolon ; verwenden!", "Konfigurationsbit", "Baudrate: ",
                                         "Modus: ", "Parität: ", "Adresse: "};
    const std::vector<std::string> en = {"use ; as separator!", "configuration bit", "baud rate: ",
                                         "mode: ", "parity: ", "address: "};
    EXPECT_EQ(std::vector<std::string>(l.FileTexts.begin() + 7, l.FileTexts.begin() + 13), k.english ? en : de);
}

INSTANTIATE_TEST_SUITE_P(Registry, LanguageValue,
                         ::testing::Values(LanguageCase{"English", "1033", true},
                                           LanguageCase{"German", "1031", false},
                                           LanguageCase{"Empty", "", false},
                                           LanguageCase{"Missing", "-", false},
                                           LanguageCase{"BritishEnglishIsNotKnown", "2057", false},
                                           LanguageCase{"EnglishWithABlank", "1033 ", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Language, WithoutAnyHiveTheProgramIsGermanWithAComma) {
    InstalledProgram p(Installation().with_machine(std::nullopt));
    EXPECT_EQ(p.g.lang.language, "1031");
    EXPECT_EQ(p.g.lang.install_path, "");
    EXPECT_EQ(p.g.lang.decimal_sep, ",");
    EXPECT_EQ(p.f.cmd_read_device.caption(), "Gerät auslesen");
}

// Only "," and "." count: any other separator, the user's or the
// locale's, is passed over as if missing.
TEST(Language, DecimalSeparatorFromTheUserThenTheLocaleThenComma) {
    struct Case { std::optional<std::string> user; const char* locale; const char* expected; } cases[] = {
        {user_hive("."), "", "."},
        {user_hive("."), ",", "."},
        {user_hive(""), ".", "."},
        {std::nullopt, ".", "."},
        {std::nullopt, "", ","},
        {user_hive(","), ".", ","},
        {user_hive("0"), ".", "."},   // "0" would make 21.5 into 2105
        {user_hive("0"), "", ","},
        {std::nullopt, "٫", ","},     // Arabic and Persian
        {user_hive("٫"), ".", "."},
    };
    for (const auto& k : cases) {
        InstalledProgram p(Installation().with_user(k.user).with_locale_sep(k.locale));
        EXPECT_EQ(p.g.lang.decimal_sep, k.expected) << (k.user ? *k.user : "no user hive") << " / " << k.locale;
    }
}

TEST(Language, TheDecoderAndTheFieldsUseTheSeparatorInForce) {
    InstalledProgram p(Installation().with_user(user_hive(".")).on_simulated_sensor());
    p.sensor.set_holding(8, 0xFFFB);   // -0.5 K
    p.sensor.set_holding(0x100, 215);  // 21.5 °C
    ASSERT_TRUE(p.read_device());
    EXPECT_EQ(p.f.txt_data_cfg(8).text(), "-0.5");
    EXPECT_EQ(p.f.txt_data_out(0).text(), "21.5");
    p.f.txt_data_cfg(9).type_key(8);
    for (char k : std::string("1,2.5")) p.f.txt_data_cfg(9).type_key(k);
    EXPECT_EQ(p.f.txt_data_cfg(9).text(), "1.25");  // the comma enters ".", and only one goes in
}

TEST(Language, EnglishMessagesComeFromTheSameTable) {
    InstalledProgram p(Installation().with_machine(machine_hive("", "1033")));
    p.port.open_error = 13;
    p.port.open_permission = true;
    p.f.Combo_Port(6).set_list_index(1);
    ASSERT_EQ(p.msg.shown.size(), 1u);
    EXPECT_EQ(p.msg.shown[0], "COM-Port not available,  13");
    EXPECT_EQ(p.msg.details[0].rfind("You have no permission to open this port.", 0), 0u);
}

}  // namespace
}  // namespace vor3::test
