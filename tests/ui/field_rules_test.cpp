// Field entry: the keys each field takes, what leaving a field makes of
// its text, the change marks and the spin buttons.
#include "ui/spin_buttons.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

using Box = form::TextBox& (*)(form::FrmConfig&);
form::TextBox& location(form::FrmConfig& f) { return f.txt_data_cfg(3); }
form::TextBox& yellow_led(form::FrmConfig& f) { return f.txt_data_cfg(4); }
form::TextBox& response_time(form::FrmConfig& f) { return f.txt_data_cfg(7); }
form::TextBox& temperature_offset(form::FrmConfig& f) { return f.txt_data_cfg(8); }
form::TextBox& humidity_offset(form::FrmConfig& f) { return f.txt_data_cfg(9); }
form::TextBox& co2_offset(form::FrmConfig& f) { return f.txt_data_cfg(10); }
form::TextBox& temperature_in(form::FrmConfig& f) { return f.txt_data_in(0); }
form::TextBox& humidity_in(form::FrmConfig& f) { return f.txt_data_in(1); }
form::TextBox& co2_in(form::FrmConfig& f) { return f.txt_data_in(2); }
form::TextBox& address(form::FrmConfig& f) { return f.txt_Modbus_adress; }

void type(form::TextBox& box, const std::string& keys) {
    for (char k : keys) box.type_key(static_cast<unsigned char>(k));
}

struct Typed {
    const char* name;
    Box box;
    const char* keys;
    const char* text;
};

class KeyFilter : public ::testing::TestWithParam<Typed> {};

TEST_P(KeyFilter, TakesOnlyTheKeysTheFieldHolds) {
    InstalledProgram p;
    auto& box = GetParam().box(p.f);
    type(box, GetParam().keys);
    EXPECT_EQ(box.text(), GetParam().text);
    EXPECT_TRUE(p.msg.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, KeyFilter,
                         ::testing::Values(Typed{"LocationNoMinusNoSeparator", location, "-12a,3.", "123"},
                                           Typed{"TenthsMinusOnceEitherSeparatorOnce", temperature_offset, "-1-.5,",
                                                 "-1,5"},
                                           Typed{"ExternalValue", temperature_in, "--2,,5x", "-2,5"},
                                           Typed{"AddressAfterItsOneEnterRefused", address, "\r2-", "12"}),
                         kByName);

TEST(FieldRules, AddressOutsideOneToSixtyThreeIsRefused) {
    InstalledProgram p;
    auto& a = p.f.txt_Modbus_adress;
    a.type_key(8);  // the only digit deleted
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"Nur Werte zwischen 1 und 63 erlaubt!"}));
    EXPECT_EQ(a.text(), "1");
    a.set_text("6");
    a.type_key('3');
    EXPECT_EQ(a.text(), "63");
    a.set_text("6");
    a.type_key('4');
    EXPECT_EQ(p.msg.shown.size(), 2u);
    EXPECT_EQ(a.text(), "1");
}

struct Left {
    const char* name;
    Box box;
    const char* typed;
    const char* left;
};

class LeftField : public ::testing::TestWithParam<Left> {};

// Leaving a field brings its value into the field's range and to what its
// register holds, so that the value shown is the value written.
TEST_P(LeftField, KeepsToItsRangeAndToWhatItsRegisterHolds) {
    InstalledProgram p;
    auto& box = GetParam().box(p.f);
    box.set_text(GetParam().typed);
    box.lose_focus();
    EXPECT_EQ(box.text(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LeftField,
    ::testing::Values(
        Left{"WithinTheRange", yellow_led, "1000", "1000"}, Left{"AboveTheRange", yellow_led, "5000", "3000"},
        Left{"JustAboveTheRange", yellow_led, "3001", "3000"}, Left{"NegativeWithin", co2_offset, "-300", "-300"},
        Left{"BelowTheRange", co2_offset, "-600", "-500"}, Left{"TenthsBelow", temperature_offset, "-12", "-10"},
        Left{"EmptyIsZero", co2_offset, "", "0"}, Left{"ResponseTimeAtLeastFive", response_time, "3", "5"},
        Left{"WholeUnitsDropDecimals", yellow_led, "8,01", "8"}, Left{"SeparatorAlone", location, ",1", "0"},
        Left{"TenthsDropHundredths", temperature_offset, "0,25", "0,2"},
        Left{"TenthsRoundHalfToEven", humidity_offset, "-1,55", "-1,6"},
        Left{"WholeOffsetRoundsHalfToEven", co2_offset, "-2,5", "-2"},
        Left{"ExternalAboveIsTheMarker", temperature_in, "150", "3276,7"},
        Left{"ExternalNegativeWithin", temperature_in, "-100", "-100"},
        Left{"ExternalBelow", temperature_in, "-100,5", "0"}, Left{"ExternalEmpty", temperature_in, "", "0"},
        Left{"ExternalNoNumber", temperature_in, "x", "0"}, Left{"ExternalTenths", temperature_in, "22,45", "22,4"},
        Left{"ExternalKeptTenths", humidity_in, "40,5", "40,5"}, Left{"ExternalWholePpm", co2_in, "500,5", "500"},
        Left{"CarbonDioxideWithin", co2_in, "9999", "9999"},
        // The marker value as the whole-ppm register holds it.
        Left{"CarbonDioxideAboveIsTheMarker", co2_in, "10000", "3277"}),
    kByName);

// The minimum response time takes any number while typed (10 stays 10 on
// its way to 1000) and at least 5 once the field is left, which is then
// the pace of the line.
TEST(FieldRules, TheResponseTimeIsCorrectedOnlyOnceLeft) {
    InstalledProgram p;
    auto& response = p.f.txt_data_cfg(7);
    type(response, "1000");
    EXPECT_EQ(response.text(), "1000");
    EXPECT_TRUE(p.f.reply_delay_changed);
    response.set_text("3");
    EXPECT_EQ(response.text(), "3");
    response.lose_focus();
    EXPECT_EQ(p.g.transfer.reply_delay, 5);
}

TEST(ChangeMarking, FieldsCoilsTheUnitListAndTheApplyButton) {
    InstalledProgram p;
    open_port(p);  // selects "0 - °F"
    auto& yellow = p.f.txt_data_cfg(4);
    yellow.set_text("1000");
    EXPECT_EQ(yellow.fore_color(), form::kChangeMark);
    EXPECT_TRUE(p.f.set_parameter.enabled());
    yellow.set_text("0");  // back to the value last read
    EXPECT_EQ(yellow.fore_color(), form::kNormalText);
    EXPECT_FALSE(p.f.set_parameter.enabled());

    EXPECT_EQ(p.f.cmb_bit_cfg(3).list_index(), 0);
    p.f.cmb_bit_cfg(3).set_list_index(1);
    EXPECT_EQ(p.f.chk_cfg(3).value(), 1);
    EXPECT_EQ(p.f.cmb_bit_cfg(3).fore_color(), form::kChangeMark);
    EXPECT_EQ(p.f.chk_cfg(3).fore_color(), form::kChangeMark);
    EXPECT_TRUE(p.f.set_parameter.enabled());
    p.f.cmb_bit_cfg(3).set_list_index(0);
    EXPECT_EQ(p.f.cmb_bit_cfg(3).fore_color(), form::kNormalText);
    EXPECT_FALSE(p.f.set_parameter.enabled());

    // An LED coil's reference is its value before the last click.
    auto& led = p.f.chk_inp_bit(1);
    led.set_value(1);
    led.set_value(0);
    EXPECT_EQ(led.fore_color(), form::kChangeMark);
    EXPECT_TRUE(p.f.set_parameter.enabled());

    // The button follows the group scanned last.
    p.f.txt_data_in(1).set_text("5");
    p.f.txt_data_cfg(3).set_text("0");
    EXPECT_FALSE(p.f.set_parameter.enabled());
    // While the cyclic read-out runs, the button is left alone.
    p.f.chk_read_out.set_value(1);
    p.f.txt_data_cfg(3).set_text("2");
    EXPECT_FALSE(p.f.set_parameter.enabled());
    EXPECT_FALSE(p.f.txt_data_cfg(3).enabled());
    p.f.chk_read_out.set_value(0);
    EXPECT_TRUE(p.f.set_parameter.enabled());
    EXPECT_TRUE(p.f.txt_data_cfg(3).enabled());
}

struct Step {
    const char* name;
    int index;
    const char* from;
    bool up;
    const char* to;
};

class SpinButtons : public ::testing::TestWithParam<Step> {};

TEST_P(SpinButtons, StepWithinTheLimits) {
    const auto& k = GetParam();
    InstalledProgram p;
    p.f.txt_data_cfg(k.index).set_text(k.from);
    ui::step_field(p.c, k.index, k.up);
    EXPECT_EQ(p.f.txt_data_cfg(k.index).text(), k.to);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SpinButtons,
    ::testing::Values(Step{"UpToTheTop", 3, "65534", true, "65535"}, Step{"UpAtTheTop", 3, "65535", true, "65535"},
                      Step{"UpFromAbove", 3, "70000", true, "65535"}, Step{"DownToTheBottom", 8, "-9,95", false, "-10"},
                      Step{"DownAtTheBottom", 8, "-10", false, "-10"}, Step{"UpATenth", 9, "0,25", true, "0,35"},
                      Step{"UpFromAboveTenths", 8, "12", true, "10"}, Step{"DownATenth", 8, "12", false, "11,9"},
                      Step{"DownAtTheLeastResponseTime", 7, "5", false, "5"},
                      Step{"DownAtTheBottomOffset", 10, "-500", false, "-500"},
                      Step{"EmptyStaysEmpty", 4, "", true, ""}),
    kByName);

TEST(SpinButtons, AHeldArrowRepeatsUntilReleasedOrLeft) {
    InstalledProgram p;
    p.f.txt_data_cfg(9).set_text("0");
    for (int i = 0; i < 3; ++i) ui::step_field(p.c, 9, true);
    EXPECT_EQ(p.f.txt_data_cfg(9).text(), "0,3");

    // Holding the lower arrow repeats every 200 ms until released or left.
    auto& spin = p.f.UpD_txt_cfg(10);
    p.f.txt_data_cfg(10).set_text("0");
    spin.on_mouse_down(10, 5, spin.height - 2);
    p.clock.advance(1000);
    EXPECT_EQ(p.f.txt_data_cfg(10).text(), "-5");
    spin.on_mouse_move(10, 5, spin.height * 1.1);  // still close: goes on
    p.clock.advance(200);
    spin.on_mouse_move(10, spin.width * 1.3, 5);  // far to the right: stops
    p.clock.advance(1000);
    EXPECT_EQ(p.f.txt_data_cfg(10).text(), "-6");
    spin.on_mouse_down(10, 5, 2);
    p.clock.advance(400);
    spin.on_mouse_up(10);
    p.clock.advance(1000);
    EXPECT_EQ(p.f.txt_data_cfg(10).text(), "-4");
}

}  // namespace
}  // namespace vor3::test
