#include <gtest/gtest.h>

#include "sim/pty_options.h"

namespace vor3::sim {
namespace {

struct Accepted {
    std::vector<std::string> args;
    Framing framing;
    int address;
    int baud;
    std::string link;
};

TEST(PtyOptions, Accepted) {
    const Accepted cases[] = {
        {{}, Framing::Rtu, 1, 9600, ""},
        {{"--mode", "ascii", "--address", "247"}, Framing::Ascii, 247, 9600, ""},
        {{"--mode=rtu", "--baud=19200", "--link", "/tmp/x"}, Framing::Rtu, 1, 19200, "/tmp/x"},
        {{"--address", "5", "--address", "6"}, Framing::Rtu, 6, 9600, ""},
    };
    for (const Accepted& c : cases) {
        const PtyOptions o = parse_pty_options(c.args);
        EXPECT_EQ(o.framing, c.framing);
        EXPECT_EQ(o.address, c.address);
        EXPECT_EQ(o.baud, c.baud);
        EXPECT_EQ(o.link, c.link);
        EXPECT_FALSE(o.help);
    }
    EXPECT_TRUE(parse_pty_options({"--help"}).help);
}

TEST(PtyOptions, Refused) {
    const std::vector<std::string> cases[] = {
        {"--address", "0"}, {"--address", "248"}, {"--address", "1x"}, {"--address"},
        {"--mode", "RTU"},  {"--mode", "tcp"},    {"--baud", "0"},     {"--baud", "-9600"},
        {"--link="},        {"--verbose"},        {"rtu"},
    };
    for (const auto& args : cases) EXPECT_THROW(parse_pty_options(args), std::invalid_argument) << args[0];
}

}  // namespace
}  // namespace vor3::sim
