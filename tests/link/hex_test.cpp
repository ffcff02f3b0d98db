#include <gtest/gtest.h>

#include "link/hex.h"
#include "link/transmit.h"

namespace vor3::link {
namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s.push_back(static_cast<char>(b));
    return s;
}

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
    EXPECT_EQ(ByteToHex(10), "0A");
    EXPECT_EQ(ByteToHex(255), "FF");
    EXPECT_EQ(ByteToHex(0), "00");
}

TEST(Checksums, LrcAndCrcMatchTheModbusCheckValues) {
    EXPECT_EQ(CalculateLRC(""), "00");
    EXPECT_EQ(CalculateLRC("010300000005"), "F7");
    EXPECT_EQ(CalculateLRC("010300060001"), "F5");
    EXPECT_EQ(CalculateLRC("1103006B0003"), "7E");
    EXPECT_EQ(CalculateLRC("1103006b0003"), "7E");  // lower-case digits are read too
    EXPECT_EQ(CalculateCRC("123456789"), "4B37");
    EXPECT_EQ(CalculateCRC(bytes({1, 3, 0, 0, 0, 1})), "0A84");
    EXPECT_EQ(CalculateCRC(bytes({1, 3, 0, 6, 0, 1})), "0B64");
    EXPECT_EQ(CalculateCRC(""), "FFFF");
}

TEST(Frames, RequestsAreFramedByteForByte) {
    EXPECT_EQ(frame_request("010300060001", "ASCII"), ":010300060001F5\r\n");
    EXPECT_EQ(frame_request("010300000005", "ASCII"), ":010300000005F7\r\n");
    EXPECT_EQ(frame_request("1103006B0003", "ASCII"), ":1103006B00037E\r\n");
    EXPECT_EQ(frame_request("010300060001", "RTU"), bytes({1, 3, 0, 6, 0, 1, 0x64, 0x0B}));
    EXPECT_EQ(frame_request("010300000001", "RTU"), bytes({1, 3, 0, 0, 0, 1, 0x84, 0x0A}));
    EXPECT_EQ(frame_request("01030000000A", "RTU"), bytes({1, 3, 0, 0, 0, 0x0A, 0xC5, 0xCD}));
    EXPECT_EQ(frame_request("010300060001", "standard_ascii"), "");
}

}  // namespace
}  // namespace vor3::link
