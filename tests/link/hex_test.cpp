#include <gtest/gtest.h>

#include "link/hex.h"
#include "link/transmit.h"
#include "sim/sim_test_support.h"

namespace vor3::link {
namespace {

using sim::test::bytes;

TEST(HexText, LongToHexStrPadsButNeverCuts) {
    struct Case {
        std::int32_t value, bytes;
        const char* text;
    } cases[] = {{247, 1, "F7"},      {5, 1, "05"}, {5, 2, "0005"}, {300, 1, "12C"},    {0, 1, "00"},
                 {-1, 1, "FFFFFFFF"}, {0, 0, "0"},  {255, 0, "FF"}, {0x1234, 2, "1234"}};
    for (const auto& c : cases) EXPECT_EQ(LongToHexStr(c.value, c.bytes), c.text) << c.value << "," << c.bytes;
}

TEST(HexText, HexToByteCountsOnlyUpperCaseDigits) {
    struct Case {
        const char* in;
        int value;
        const char* left;
    } cases[] = {{"7F", 127, "7F"},  {"F", 15, "F"}, {"1G", 16, "1G"}, {"G1", 1, "G1"},
                 {"ABC", 171, "AB"}, {"", 0, ""},    {"g", 0, "g"},    {"ff", 0, "ff"}};
    for (const auto& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(HexToByte(text), c.value) << c.in;
        EXPECT_EQ(text, c.left) << c.in;
    }
    EXPECT_EQ(ByteToHex(10) + ByteToHex(255) + ByteToHex(0), "0AFF00");
}

// The checksums against the Modbus check values, as they end each frame.
TEST(Frames, RequestsAreFramedByteForByte) {
    EXPECT_EQ(CalculateCRC("123456789"), "4B37");
    EXPECT_EQ(CalculateCRC("") + CalculateLRC(""), "FFFF00");
    EXPECT_EQ(CalculateLRC("1103006b0003"), "7E");  // lower-case digits are read too
    const struct {
        const char* request;
        const char* mode;
        std::string wire;
    } cases[] = {
        {"010300060001", "ASCII", ":010300060001F5\r\n"},
        {"010300000005", "ASCII", ":010300000005F7\r\n"},
        {"1103006B0003", "ASCII", ":1103006B00037E\r\n"},
        {"010300060001", "RTU", bytes("010300060001640B")},
        {"010300000001", "RTU", bytes("010300000001840A")},
        {"01030000000A", "RTU", bytes("01030000000AC5CD")},
        {"010300060001", "standard_ascii", ""},
    };
    for (const auto& k : cases) EXPECT_EQ(frame_request(k.request, k.mode), k.wire) << k.request << k.mode;
}

}  // namespace
}  // namespace vor3::link
