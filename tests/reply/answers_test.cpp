#include <gtest/gtest.h>

#include "link/hex.h"
#include "reply/answers.h"
#include "sim/sim_test_support.h"

namespace vor3::reply {
namespace {

struct FitCase {
    const char* name;
    const char* request;
    const char* reply;  // address, function, data; no checksum
    Fit fit;
};

const FitCase kFitCases[] = {
    {"register read answered", "010300080003", "010306000100020003", Fit::Answer},
    {"register read with too few bytes", "010300080003", "0103060001000200", Fit::None},
    {"register read with another count", "010300080003", "0103020001", Fit::None},
    {"coil read answered", "010101000005", "01010115", Fit::Answer},
    {"another address", "010300060001", "0203020007", Fit::None},
    {"another function", "010300060001", "0101020007", Fit::None},
    {"refused", "010300060001", "018302", Fit::Refusal},
    {"refusal with trailing bytes", "010300060001", "01830200", Fit::None},
    {"write acknowledged", "0110000200050A00000001038404B0000A", "011000020005", Fit::Answer},
    {"acknowledgement of another block", "01100007000408001400000000000000", "011000020005", Fit::None},
    {"acknowledgement of another block of that size", "01100007000408001400000000000000", "011000030004", Fit::None},
    {"echo of the write request", "011000020001020005", "011000020001020005", Fit::None},
    {"coil write acknowledged", "010F0000000801FF", "010F00000008", Fit::Answer},
    {"coil write of another quantity", "010F0100000501FF", "010F01000008", Fit::None},
};

void PrintTo(const FitCase& k, std::ostream* os) { *os << k.name; }
class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, HoldsTheReplyAgainstTheRequest) {
    std::string adu;
    ASSERT_TRUE(link::hex_to_bytes(GetParam().reply, adu));
    EXPECT_EQ(fit(expectation_of(GetParam().request), adu), GetParam().fit);
}

INSTANTIATE_TEST_SUITE_P(Replies, FitTest, ::testing::ValuesIn(kFitCases),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

}  // namespace
}  // namespace vor3::reply
