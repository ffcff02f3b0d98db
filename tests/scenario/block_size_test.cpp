#include <gtest/gtest.h>

#include "app/field_entry.h"
#include "sim/sim_test_support.h"
#include "support/harness.h"

namespace vor3::test {
namespace {

// However many registers a block carries, a read brings every register and
// coil of the sensor, and a write of every field leaves each value on the
// sensor, read back and unmarked: no block end is typed beside the map.
struct BlockSizes {
    const char* name;
    int read, write;
};
const BlockSizes kSizes[] = {
    {"eight and five", 8, 5}, {"five and four", 5, 4}, {"three and two", 3, 2},
    {"one and one", 1, 1},    {"whole parts", 11, 9},
};
void PrintTo(const BlockSizes& k, std::ostream* os) { *os << k.name; }
class BlockSize : public ::testing::TestWithParam<BlockSizes> {};

// Every field a user can change, with a value none of them holds now.
const std::pair<const char*, const char*> kEveryEdit[] = {
    {"txt_data_cfg(3)", "42"},  {"txt_data_cfg(4)", "900"},  {"txt_data_cfg(5)", "1300"}, {"txt_data_cfg(6)", "12"},
    {"txt_data_cfg(7)", "30"},  {"txt_data_cfg(8)", "-1,5"}, {"txt_data_cfg(9)", "2,5"},  {"txt_data_cfg(10)", "-100"},
    {"txt_data_in(0)", "22,5"}, {"txt_data_in(1)", "40"},    {"txt_data_in(2)", "800"},   {"chk_cfg(0)", "0"},
    {"chk_cfg(1)", "0"},        {"chk_cfg(2)", "0"},         {"chk_cfg(3)", "0"},         {"chk_cfg(4)", "0"},
    {"chk_cfg(5)", "0"},        {"chk_cfg(6)", "0"},         {"chk_inp_bit(0)", "1"},     {"chk_inp_bit(1)", "1"},
    {"chk_inp_bit(2)", "1"},    {"chk_inp_bit(3)", "1"},
};

// The registers of the image as the sensor holds them.
void expect_image_is_sensor(const SimHarness& h) {
    const auto& image = h.c.g.image;
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(image.cfg_raw[static_cast<std::size_t>(i)], h.sensor.holding(i)) << i;
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(image.in_raw[static_cast<std::size_t>(i)], h.sensor.holding(0x200 + i)) << i;
        EXPECT_TRUE(image.out_raw[static_cast<std::size_t>(i)].has_value()) << i;
    }
    EXPECT_TRUE(image.config_known && image.external_known);
}

TEST_P(BlockSize, ChangesTheBlocksAndLosesNothing) {
    const BlockSizes& k = GetParam();
    SimHarness h;
    h.c.g.transfer.read_block = k.read;
    h.c.g.transfer.write_block = k.write;
    ASSERT_TRUE(h.read_device());
    EXPECT_FALSE(warning_shown(h));
    expect_image_is_sensor(h);
    for (const auto& [field, value] : kEveryEdit)
        ASSERT_EQ(app::enter_value(h.prog, field, value), std::nullopt) << field;
    h.f.set_parameter.press();
    ASSERT_TRUE(h.clock.run_until([&] { return h.c.g.sent.checked; }, 60000));
    ASSERT_TRUE(h.settle());
    EXPECT_FALSE(warning_shown(h));
    EXPECT_TRUE(h.c.g.sent.differences.empty());
    expect_image_is_sensor(h);
    for (const auto& [field, value] : kEveryEdit) {
        EXPECT_EQ(app::field_value(h.prog, field), value) << field;
        EXPECT_FALSE(app::field_marked(h.prog, field)) << field;
    }
}

INSTANTIATE_TEST_SUITE_P(Reads, BlockSize, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

}  // namespace
}  // namespace vor3::test
