// Field entry: the keys each field takes, what leaving a field makes of
// its text, the change marks and the spin buttons.
#include <algorithm>

#include "ui/spin_buttons.h"
#include "ui_fixture.h"

namespace vor3::test {
namespace {

// A field by its number: registers 0 to 10, then the external values at
// 20 to 22, and the address at -1.
constexpr int kLocation = 3, kYellowLed = 4, kResponseTime = 7, kTemperatureOffset = 8, kCo2Offset = 10,
              kTemperatureIn = 20, kCo2In = 22, kAddress = -1;
form::TextBox& box(form::FrmConfig& f, int field) {
    return field < 0 ? f.txt_Modbus_adress : field < 20 ? f.txt_data_cfg(field) : f.txt_data_in(field - 20);
}

void type(form::TextBox& box, const std::string& keys) {
    for (char k : keys) box.type_key(static_cast<unsigned char>(k));
}

// What goes into a field and what it then shows.
struct Entry {
    const char* name;
    int field;
    const char *in, *out;
    // Left: what the status line says of it ("": nothing).
    const char* named = "";
};
void PrintTo(const Entry& k, std::ostream* os) { *os << k.name; }

class KeyFilter : public ::testing::TestWithParam<Entry> {};

TEST_P(KeyFilter, TakesOnlyTheKeysTheFieldHolds) {
    InstalledProgram p;
    auto& b = box(p.f, GetParam().field);
    type(b, GetParam().in);
    EXPECT_EQ(b.text(), GetParam().out);
    EXPECT_TRUE(p.msg.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, KeyFilter,
                         ::testing::Values(Entry{"LocationNoMinusNoSeparator", kLocation, "-12a,3.", "123"},
                                           Entry{"TenthsMinusOnceEitherSeparatorOnce", kTemperatureOffset, "-1-.5,",
                                                 "-1,5"},
                                           Entry{"ExternalValue", kTemperatureIn, "--2,,5x", "-2,5"},
                                           Entry{"AddressAfterItsOneEnterRefused", kAddress, "\r2-", "12"},
                                           // Corrected to at least 5 only once left: 10 stays 10 on its way to 1000.
                                           Entry{"ResponseTimeAsTyped", kResponseTime, "1000", "1000"}),
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

class LeftField : public ::testing::TestWithParam<Entry> {};

// Leaving a field brings its value into the field's range and to what its
// register holds, so that the value shown is the value written; the status
// line's last line names what was typed, what it became and why.
TEST_P(LeftField, KeepsToItsRangeAndToWhatItsRegisterHoldsAndSaysSo) {
    InstalledProgram p;
    auto& b = box(p.f, GetParam().field);
    b.set_text(GetParam().in);
    b.lose_focus();
    EXPECT_EQ(b.text(), GetParam().out);
    const std::string line = p.f.status_line.caption();
    const auto lines = std::count(line.begin(), line.end(), '\n');
    EXPECT_EQ(lines == 2 ? line.substr(line.rfind('\n') + 1) : "", GetParam().named);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LeftField,
    ::testing::Values(
        Entry{"JustAboveTheRange", kYellowLed, "3001", "3000",
              "Schaltschwelle gelbe LED: 3001 → 3000 (höchstens 3000)"},
        Entry{"BelowTheRange", kCo2Offset, "-600", "-500", "CO2-Offset [ppm]: -600 → -500 (mindestens -500)"},
        Entry{"EmptyIsZero", kCo2Offset, "", "0", "CO2-Offset [ppm]: „“ → 0 (leer)"},
        Entry{"ResponseTimeAtLeastFive", kResponseTime, "3", "5", "Min-Response-Time [ms]: 3 → 5 (mindestens 5)"},
        Entry{"SeparatorAlone", kLocation, ",1", "0", "Standortkennung: ,1 → 0 (Schritt 1)"},
        Entry{"TenthsDropHundredths", kTemperatureOffset, "0,25", "0,2",
              "Temperatur-Offset [K]: 0,25 → 0,2 (Schritt 0,1)"},
        Entry{"WholeOffsetRoundsHalfToEven", kCo2Offset, "-2,5", "-2", "CO2-Offset [ppm]: -2,5 → -2 (Schritt 1)"},
        Entry{"ExternalAboveIsTheMarker", kTemperatureIn, "150", "3276,7",
              "Externe Temperaturvorgabe: 150 → 3276,7 (über 100)"},
        Entry{"ExternalBelow", kTemperatureIn, "-100,5", "0", "Externe Temperaturvorgabe: -100,5 → 0 (unter -100)"},
        Entry{"ExternalNoNumber", kTemperatureIn, "x", "0", "Externe Temperaturvorgabe: x → 0 (keine Zahl)"},
        Entry{"ExternalTenths", kTemperatureIn, "22,45", "22,4",
              "Externe Temperaturvorgabe: 22,45 → 22,4 (Schritt 0,1)"},
        Entry{"ExternalWholePpm", kCo2In, "500,5", "500", "Externe CO2 Vorgabe: 500,5 → 500 (Schritt 1)"},
        // The marker value as the whole-ppm register holds it.
        Entry{"CarbonDioxideAboveIsTheMarker", kCo2In, "10000", "3277",
              "Externe CO2 Vorgabe: 10000 → 3277 (über 9999)"}),
    kByName);

TEST(ChangeMarking, FieldsCoilsTheUnitListAndTheApplyButton) {
    InstalledProgram p;
    open_port(p);  // selects "0 - °F"
    auto& f = p.f;
    auto& yellow = f.txt_data_cfg(4);
    auto& unit = f.cmb_bit_cfg(3);
    auto& led = f.chk_inp_bit(1);
    // The marks on the yellow-LED field, the unit list, its coil and LED 2,
    // and whether the apply button is on.
    auto marked = [&] {
        std::string s;
        for (const form::Control* c : Controls{&yellow, &unit, &f.chk_cfg(3), &led}) s += mark(*c);
        return s + (f.set_parameter.enabled() ? " apply" : "");
    };
    yellow.set_text("1000");
    EXPECT_EQ(marked(), "x... apply");
    yellow.set_text("0");  // back to the value last read
    EXPECT_EQ(marked(), "....");
    unit.set_list_index(1);
    EXPECT_EQ(f.chk_cfg(3).value(), 1);
    EXPECT_EQ(marked(), ".xx. apply");
    unit.set_list_index(0);
    EXPECT_EQ(marked(), "....");
    // An LED coil's reference is its value before the last click.
    led.set_value(1);
    led.set_value(0);
    EXPECT_EQ(marked(), "...x apply");

    // The button follows the group scanned last.
    f.txt_data_in(1).set_text("5");
    f.txt_data_cfg(3).set_text("0");
    EXPECT_FALSE(f.set_parameter.enabled());
    // While the cyclic read-out runs, the button is left alone.
    f.chk_read_out.set_value(1);
    f.txt_data_cfg(3).set_text("2");
    EXPECT_FALSE(f.set_parameter.enabled());
    f.chk_read_out.set_value(0);
    EXPECT_TRUE(f.set_parameter.enabled());
}

struct Step {
    const char* name;
    int index;
    const char* from;
    bool up;
    const char* to;
};
void PrintTo(const Step& k, std::ostream* os) { *os << k.name; }

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
    ::testing::Values(Step{"UpToTheTop", 3, "65534", true, "65535"}, Step{"UpFromAbove", 3, "70000", true, "65535"},
                      Step{"DownToTheBottom", 8, "-9,95", false, "-10"}, Step{"UpATenth", 9, "0,25", true, "0,35"},
                      Step{"UpFromAboveTenths", 8, "12", true, "10"}, Step{"DownATenth", 8, "12", false, "11,9"},
                      Step{"DownAtTheLeastResponseTime", 7, "5", false, "5"}, Step{"EmptyStaysEmpty", 4, "", true, ""}),
    kByName);

// The Up and Down keys and the wheel step a field as its arrows do, to the
// arrow's limit and no further; a field without arrows is left alone.
TEST(SpinButtons, KeysAndTheWheelStepToTheLimitAndNoFurther) {
    InstalledProgram p;
    auto& co2 = p.f.txt_data_cfg(kCo2Offset);
    auto& offset = p.f.txt_data_cfg(kTemperatureOffset);
    co2.set_text("498");
    offset.set_text("-9,8");
    std::vector<std::string> seen;
    auto after = [&](form::TextBox& field, auto how) {
        how(field);
        seen.push_back(field.text());
    };
    after(co2, [](auto& b) { b.key_down(form::kKeyUp); });
    after(co2, [](auto& b) { b.wheel(3); });
    after(co2, [](auto& b) { b.key_down(form::kKeyReturn); });
    after(co2, [](auto& b) { b.key_down(form::kKeyDown); });
    after(co2, [](auto& b) { b.wheel(-2); });
    after(offset, [](auto& b) { b.wheel(-5); });
    after(offset, [](auto& b) { b.key_down(form::kKeyUp); });
    after(p.f.txt_data_cfg(0), [](auto& b) { b.key_down(form::kKeyUp); });
    EXPECT_EQ(seen, (std::vector<std::string>{"499", "500", "500", "499", "497", "-10", "-9,9", ""}));
    EXPECT_EQ(mark(co2), 'x');  // a step is an edit like any other
}

// Holding the lower arrow repeats every 200 ms until the pointer leaves it.
TEST(SpinButtons, AHeldArrowRepeatsUntilLeft) {
    InstalledProgram p;
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
}

}  // namespace
}  // namespace vor3::test
