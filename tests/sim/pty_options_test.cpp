#include <gtest/gtest.h>

#include "sim/pty_options.h"

namespace vor3::sim {
namespace {

TEST(PtyOptions, BothArgumentFormsAreRead) {
    const PtyOptions o = parse_pty_options({"--mode=ascii", "--address", "247", "--baud=19200", "--link", "/tmp/x"});
    EXPECT_EQ(o.framing, Framing::Ascii);
    EXPECT_EQ(o.address, 247);
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.link, "/tmp/x");
}

TEST(PtyOptions, BadArgumentsAreRefused) {
    const std::vector<std::string> cases[] = {
        {"--address", "0"}, {"--address", "248"}, {"--address", "1x"}, {"--address"}, {"--mode", "tcp"},
        {"--baud", "0"},    {"--link="},          {"--verbose"},       {"rtu"},
    };
    for (const auto& args : cases) EXPECT_THROW(parse_pty_options(args), std::invalid_argument) << args[0];
}

}  // namespace
}  // namespace vor3::sim
