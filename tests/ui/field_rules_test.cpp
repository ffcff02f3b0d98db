#include <gtest/gtest.h>

#include "support/fake_program.h"
#include "ui/spin_buttons.h"

namespace vor3::test {
namespace {

void type(form::TextBox& box, const std::string& keys) {
    for (char k : keys) box.type_key(static_cast<unsigned char>(k));
}

TEST(FieldRules, KeyFiltersPerField) {
    struct Case { const char* field; int index; const char* keys; const char* text; } cases[] = {
        {"cfg", 3, "-12a,3.", "123"},   // no minus and no separator in the location id
        {"cfg", 8, "-1-.5,", "-1,5"},   // minus once; either separator key enters ",", once
        {"in", 0, "--2,,5x", "-2,5"},
        {"addr", 0, "\r2-", "12"},     // after the "1" it starts with; Enter is refused
    };
    for (const auto& k : cases) {
        FakeProgram p;
        const std::string which = k.field;
        auto& box = which == "cfg" ? p.f.txt_data_cfg(k.index) : which == "in" ? p.f.txt_data_in(k.index)
                                                                                : p.f.txt_Modbus_adress;
        type(box, k.keys);
        EXPECT_EQ(box.text(), k.text) << k.keys;
        EXPECT_TRUE(p.msg.shown.empty());
    }
}

TEST(FieldRules, AddressOutsideOneToSixtyThreeIsRefused) {
    FakeProgram p;
    auto& a = p.f.txt_Modbus_adress;
    a.type_key(8);  // the only digit deleted
    EXPECT_EQ(p.msg.shown, (std::vector<std::string>{"Nur Werte zwischen 1 und 63 erlaubt!"}));
    EXPECT_EQ(a.text(), "1");
    a.type_key('5');
    EXPECT_EQ(a.text(), "15");
    a.set_text("6");
    a.type_key('4');
    EXPECT_EQ(p.msg.shown.size(), 2u);
    EXPECT_EQ(a.text(), "1");
}

TEST(FieldRules, ChangeMarksAndFocusCorrections) {
    FakeProgram p;
    p.f.Combo_Port(6).set_list_index(1);
    auto& yellow = p.f.txt_data_cfg(4);
    yellow.set_text("1000");
    EXPECT_EQ(yellow.fore_color(), form::kChangeMark);
    EXPECT_TRUE(p.f.set_parameter.enabled());
    yellow.lose_focus();
    EXPECT_EQ(yellow.text(), "1000");  // within the threshold's range
    yellow.set_text("5000");
    yellow.lose_focus();
    EXPECT_EQ(yellow.text(), "3000");
    yellow.set_text("0");  // back to the value last read
    EXPECT_EQ(yellow.fore_color(), form::kNormalText);
    EXPECT_FALSE(p.f.set_parameter.enabled());

    auto& co2 = p.f.txt_data_cfg(10);
    co2.set_text("-300");
    co2.lose_focus();
    EXPECT_EQ(co2.text(), "-300");
    co2.set_text("-600");
    co2.lose_focus();
    EXPECT_EQ(co2.text(), "-500");
    p.f.txt_data_cfg(8).set_text("-12");
    p.f.txt_data_cfg(8).lose_focus();
    EXPECT_EQ(p.f.txt_data_cfg(8).text(), "-10");
    co2.set_text("");
    co2.lose_focus();
    EXPECT_EQ(co2.text(), "0");
    p.g.image.cfg_value[10] = 12.5;
    co2.set_text(",");
    co2.lose_focus();
    EXPECT_EQ(co2.text(), "12,5");

    // The minimum response time takes any number while typed (10 stays 10
    // on its way to 1000) and at least 5 once the field is left.
    auto& response = p.f.txt_data_cfg(7);
    for (int key : {'1', '0', '0', '0'}) response.type_key(key);
    EXPECT_EQ(response.text(), "1000");
    EXPECT_TRUE(p.f.reply_delay_changed);
    response.set_text("3");
    EXPECT_EQ(response.text(), "3");
    response.lose_focus();
    EXPECT_EQ(response.text(), "5");
    EXPECT_EQ(p.g.transfer.reply_delay, 5);

    auto& temperature = p.f.txt_data_in(0);
    struct Case { const char* typed; const char* left; } external[] = {
        {"150", "3276,7"}, {"-100", "-100"}, {"-100,5", "0"}, {"", "0"}, {"x", "0"}};
    for (const auto& k : external) {
        temperature.set_text(k.typed);
        temperature.lose_focus();
        EXPECT_EQ(temperature.text(), k.left) << k.typed;
    }
    auto& co2_in = p.f.txt_data_in(2);
    co2_in.set_text("9999");
    co2_in.lose_focus();
    EXPECT_EQ(co2_in.text(), "9999");
    co2_in.set_text("10000");
    co2_in.lose_focus();
    EXPECT_EQ(co2_in.text(), "3277");  // the marker value as the whole-ppm register holds it
}

// Found by fuzzing field entry: a field left with more decimals than its
// register holds showed one value while the write sent another.
TEST(FieldRules, LeavingAFieldKeepsToWhatItsRegisterHolds) {
    FakeProgram p;
    struct Case { bool config; int index; const char* typed; const char* left; } cases[] = {
        {true, 4, "8,01", "8"},     {true, 3, ",1", "0"},        {true, 8, "0,25", "0,2"},
        {true, 9, "-1,55", "-1,6"}, {true, 10, "-2,5", "-2"},    {false, 0, "22,45", "22,4"},
        {false, 2, "500,5", "500"}, {false, 1, "40,5", "40,5"},
    };
    for (const auto& k : cases) {
        auto& field = k.config ? p.f.txt_data_cfg(k.index) : p.f.txt_data_in(k.index);
        field.paste(k.typed, 0, field.text().size());
        field.lose_focus();
        EXPECT_EQ(field.text(), k.left) << k.typed;
    }
}

TEST(ChangeMarking, CoilsUnitListAndTheApplyButton) {
    FakeProgram p;
    p.f.Combo_Port(6).set_list_index(1);  // selects "0 - °F"
    EXPECT_EQ(p.f.cmb_bit_cfg(3).list_index(), 0);
    p.g.image.cfg_bit[3] = 0;
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

TEST(SpinButtons, StepsStayWithinTheLimits) {
    struct Case { int index; const char* from; bool up; const char* to; } cases[] = {
        {3, "65534", true, "65535"}, {3, "65535", true, "65535"}, {3, "70000", true, "65535"},
        {8, "-9,95", false, "-10"},  {8, "-10", false, "-10"},    {9, "0,25", true, "0,35"},
        {8, "12", true, "10"},       {8, "12", false, "11,9"},    {7, "5", false, "5"},
        {10, "-500", false, "-500"}, {4, "", true, ""}};
    for (const auto& k : cases) {
        FakeProgram p;
        p.f.txt_data_cfg(k.index).set_text(k.from);
        ui::step_field(p.c, k.index, k.up);
        EXPECT_EQ(p.f.txt_data_cfg(k.index).text(), k.to) << k.index << " " << k.from;
    }
    FakeProgram p;
    auto& field = p.f.txt_data_cfg(9);
    field.set_text("0");
    for (int i = 0; i < 3; ++i) ui::step_field(p.c, 9, true);
    EXPECT_EQ(field.text(), "0,3");

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
