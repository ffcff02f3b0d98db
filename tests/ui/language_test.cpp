// The language routine: which language a registry value means, the
// captions of the configuration and status windows in it, and the decimal
// separator.
#include "ui/language.h"
#include "model/register_map.h"
#include "ui/status_window.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

struct Setting {
    const char* name;
    const char* language;  // "" leaves the value out
    std::optional<std::string> user;
    const char* locale;
    bool english;
    const char* sep;
};
void PrintTo(const Setting& k, std::ostream* os) { *os << k.name; }

class LanguageAndSeparator : public ::testing::TestWithParam<Setting> {};

// The captions follow the registry's language value. The decimal separator
// is the user's, then the locale's, then a comma; only "," and "." count,
// any other is passed over as if missing.
TEST_P(LanguageAndSeparator, SetTheCaptionsAndTheNumbers) {
    const auto& k = GetParam();
    InstalledProgram p(
        Installation().with_machine(machine_hive("", k.language)).with_user(k.user).with_locale_sep(k.locale));
    ui::frmState_Load(p.c);
    const auto& f = p.f;
    EXPECT_EQ(p.g.lang.language, k.english ? "1033" : "1031");
    EXPECT_EQ(p.g.lang.decimal_sep, k.sep);
    EXPECT_EQ(f.cmd_read_device.caption(), k.english ? "&Read device" : "&Gerät auslesen");
    EXPECT_EQ(p.prog.frmState.Abbruch.caption(), k.english ? "&Cancel" : "&Abbruch");
    // Each number field's tip names its range, unit and step, with the
    // separator in force.
    const std::string sep = k.sep, step = k.english ? ", step " : ", Schritt ";
    const struct {
        const form::TextBox& field;
        std::string tip;
    } tips[] = {
        {f.txt_data_cfg(3), "0 … 65535" + step + "1"},
        {f.txt_data_cfg(4), "0 … 3000 ppm" + step + "1"},
        {f.txt_data_cfg(7), "5 … 3000 ms" + step + "1"},
        {f.txt_data_cfg(8), "-10 … 10 K" + step + "0" + sep + "1"},
        {f.txt_data_cfg(10), "-500 … 500 ppm" + step + "1"},
        {f.txt_data_in(0), "-100 … 100 °C" + step + "0" + sep + "1"},
        {f.txt_data_in(2), "0 … 9999 ppm" + step + "1"},
        {f.txt_data_cfg(0), ""},  // the device coding is never written
    };
    for (const auto& t : tips) EXPECT_EQ(t.field.tool_tip(), t.tip);
    const auto& yellow = model::field(model::FieldArray::txt_data_cfg, 4);
    EXPECT_EQ(f.lbl_cfg(4).caption(), k.english ? yellow.caption_en : yellow.caption_de);
    const auto& co2 = model::field(model::FieldArray::chk_cfg, 2);
    EXPECT_EQ(f.lbl_read_cfg_bit(2).caption(), k.english ? co2.caption_en : co2.caption_de);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, LanguageAndSeparator,
    ::testing::Values(Setting{"EnglishUserPointBeforeLocale", "1033", user_hive("."), ",", true, "."},
                      Setting{"GermanUserComma", "1031", user_hive(","), ".", false, ","},
                      Setting{"NoLanguageUserEmpty", "", user_hive(""), ".", false, "."},
                      Setting{"BritishEnglishIsNotKnownNoSeparatorAnywhere", "2057", std::nullopt, "", false, ","},
                      // "0" would make 21.5 into 2105.
                      Setting{"EnglishWithABlankUserDigit", "1033 ", user_hive("0"), ".", false, "."},
                      Setting{"ArabicLocale", "1031", std::nullopt, "٫", false, ","}),
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
