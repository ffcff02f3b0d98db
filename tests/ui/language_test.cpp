// The language routine: which language a registry value means, the
// captions of the configuration and status windows in it, and the decimal
// separator.
#include "ui/language.h"
#include "model/register_map.h"
#include "ui/status_window.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

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
    const char* language;  // nullptr leaves the value out
    bool english;
};

class LanguageValue : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageValue, SetsTheCaptions) {
    const auto& k = GetParam();
    InstalledProgram p(Installation().with_machine(machine_hive("/opt/vor3", k.language ? k.language : "")));
    ui::frmState_Load(p.c);
    const auto& l = p.g.lang;
    const auto& f = p.f;
    EXPECT_EQ(l.language, k.english ? "1033" : "1031");
    EXPECT_EQ(l.install_path, "/opt/vor3");
    // The captions of both windows and every field's label from the map.
    EXPECT_EQ(f.cmd_read_device.caption(), k.english ? "&Read device" : "Gerät auslesen");
    EXPECT_EQ(p.prog.frmState.Abbruch.caption(), k.english ? "&Cancel" : "Abbruch");
    for (const auto& field : model::field_map())
        EXPECT_EQ(label_of(f, field).caption(), k.english ? field.caption_en : field.caption_de);
    EXPECT_EQ(f.SSTab1.tab_captions, (k.english ? std::vector<std::string>{"General", "Display"}
                                                : std::vector<std::string>{"Allgemein", "Anzeige"}));
}

INSTANTIATE_TEST_SUITE_P(Registry, LanguageValue,
                         ::testing::Values(LanguageCase{"English", "1033", true}, LanguageCase{"German", "1031", false},
                                           LanguageCase{"Missing", nullptr, false},
                                           LanguageCase{"BritishEnglishIsNotKnown", "2057", false},
                                           LanguageCase{"EnglishWithABlank", "1033 ", false}),
                         kByName);

struct Separator {
    const char* name;
    std::optional<std::string> user;
    const char* locale;
    const char* in_force;
};

class DecimalSeparator : public ::testing::TestWithParam<Separator> {};

// The user's, then the locale's, then a comma. Only "," and "." count: any
// other separator is passed over as if missing.
TEST_P(DecimalSeparator, IsTheUsersThenTheLocalesThenAComma) {
    InstalledProgram p(Installation().with_user(GetParam().user).with_locale_sep(GetParam().locale));
    EXPECT_EQ(p.g.lang.decimal_sep, GetParam().in_force);
}

INSTANTIATE_TEST_SUITE_P(Sources, DecimalSeparator,
                         ::testing::Values(Separator{"User", user_hive("."), "", "."},
                                           Separator{"UserBeforeLocale", user_hive("."), ",", "."},
                                           Separator{"UserEmpty", user_hive(""), ".", "."},
                                           Separator{"NoUserHive", std::nullopt, ".", "."},
                                           Separator{"Nothing", std::nullopt, "", ","},
                                           Separator{"UserComma", user_hive(","), ".", ","},
                                           // "0" would make 21.5 into 2105.
                                           Separator{"UserDigit", user_hive("0"), ".", "."},
                                           Separator{"UserDigitNoLocale", user_hive("0"), "", ","},
                                           Separator{"ArabicLocale", std::nullopt, "٫", ","},
                                           Separator{"ArabicUser", user_hive("٫"), ".", "."}),
                         kByName);

TEST(Language, TheDecoderAndTheFieldsUseTheSeparatorInForce) {
    InstalledProgram p(Installation().with_user(user_hive(".")).on_simulated_sensor());
    p.sensor.set_holding(8, 0xFFFB);   // -0.5 K
    p.sensor.set_holding(0x100, 215);  // 21.5 °C
    ASSERT_TRUE(p.read_device());
    EXPECT_EQ(p.f.txt_data_cfg(8).text() + " " + p.f.txt_data_out(0).text(), "-0.5 21.5");
    p.f.txt_data_cfg(9).type_key(8);
    for (char k : std::string("1,2.5")) p.f.txt_data_cfg(9).type_key(k);
    EXPECT_EQ(p.f.txt_data_cfg(9).text(), "1.25");  // the comma enters ".", and only one goes in
}

}  // namespace
}  // namespace vor3::test
