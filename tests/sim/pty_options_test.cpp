#include <gtest/gtest.h>

#include "sim/pty_options.h"

namespace vor3::sim {
namespace {

TEST(PtyOptions, BothArgumentFormsAreRead) {
    const PtyOptions o = parse_pty_options({"--mode=ascii", "--address", "247", "--baud=19200", "--link", "/tmp/x"});
    EXPECT_EQ(o.framing, Framing::Ascii);
    EXPECT_EQ(o.addresses, std::vector<int>{247});
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.link, "/tmp/x");
    EXPECT_EQ(o.tcp_port, -1);

    const PtyOptions tcp = parse_pty_options({"--tcp", "5020", "--framing=modbus-tcp", "--close-mid-reply"});
    EXPECT_EQ(tcp.tcp_port, 5020);
    EXPECT_TRUE(tcp.modbus_tcp);
    EXPECT_EQ(tcp.framing, Framing::Rtu);
    EXPECT_TRUE(tcp.faults.close_mid_reply);
    EXPECT_EQ(parse_pty_options({"--tcp=0", "--framing", "ascii"}).framing, Framing::Ascii);
    // A whole line: lists and ranges, in order, each address once.
    EXPECT_EQ(parse_pty_options({"--address", "37,1-3,5,2"}).addresses, (std::vector<int>{1, 2, 3, 5, 37}));
    EXPECT_EQ(parse_pty_options({"--address=1-30"}).addresses.size(), 30u);
}

TEST(PtyOptions, BadArgumentsAreRefused) {
    const std::vector<std::string> cases[] = {
        {"--address", "0"},
        {"--address", "248"},
        {"--address", "1x"},
        {"--address"},
        {"--mode", "tcp"},
        {"--address", "3-1"},
        {"--address", "1,"},
        {"--address", "0-2"},
        {"--address", "1,,2"},
        {"--address", "-"},
        {"--baud", "0"},
        {"--link="},
        {"--verbose"},
        {"rtu"},
        {"--noise", "F"},
        {"--noise", "GG"},
        {"--split", "0"},
        {"--exception", "256"},
        {"--extra-delay=-1"},
        {"--silent=1x"},
        {"--lose", "101"},
        {"--answer-ms", "-5"},
        {"--seed", "x"},
        {"--answer-spread"},
        {"--tcp", "65536"},
        {"--framing", "modbus-tcp"},
        {"--tcp", "0", "--link", "/tmp/x"},
        {"--framing", "mbap"},
    };
    for (const auto& args : cases) EXPECT_THROW(parse_pty_options(args), std::invalid_argument) << args[0];
}

TEST(PtyOptions, FaultSwitchesOnTheCommandLineAndWhileRunning) {
    const PtyOptions o = parse_pty_options({"--silent", "--bad-checksum", "--noise", "ff0103", "--split=3",
                                            "--split-gap", "40", "--exception", "2", "--extra-delay=300", "--duplicate",
                                            "--echo", "--twin", "--mode", "ascii"});
    EXPECT_TRUE(o.faults.silent);
    EXPECT_TRUE(o.faults.bad_checksum);
    EXPECT_EQ(o.faults.noise_before, std::string("\xFF\x01\x03"));
    EXPECT_EQ(o.faults.split_parts, 3);
    EXPECT_EQ(o.faults.split_gap_ms, 40);
    EXPECT_EQ(o.faults.exception_code, 2);
    EXPECT_EQ(o.faults.extra_delay_ms, 300);
    EXPECT_TRUE(o.faults.duplicate);
    EXPECT_TRUE(o.faults.echo);
    EXPECT_TRUE(o.faults.twin);
    EXPECT_EQ(o.framing, Framing::Ascii);

    const Faults timing = parse_fault_options(
        {"--answer-ms", "950", "--answer-spread=200", "--repeat-answer-ms", "700", "--lose", "10", "--seed", "42"});
    EXPECT_EQ(timing.answer_ms, 950);
    EXPECT_EQ(timing.answer_spread_ms, 200);
    EXPECT_EQ(timing.repeat_answer_ms, 700);
    EXPECT_EQ(timing.lost_percent, 10);
    EXPECT_EQ(timing.seed, 42u);
    EXPECT_TRUE(parse_fault_options({"--echo"}).echo);
    EXPECT_EQ(parse_fault_options({"--refuse-writes", "3"}).refuse_writes, 3);
    EXPECT_FALSE(parse_fault_options({}).silent);
    EXPECT_THROW(parse_fault_options({"--mode", "rtu"}), std::invalid_argument);
    // On a line of several, a fault line may name the sensors it is for.
    const FaultLine some = parse_fault_line({"--address", "5,37", "--silent"});
    EXPECT_EQ(some.addresses, (std::vector<int>{5, 37}));
    EXPECT_TRUE(some.faults.silent);
    EXPECT_TRUE(parse_fault_line({"--silent"}).addresses.empty());
    EXPECT_THROW(parse_fault_line({"--address", "x", "--silent"}), std::invalid_argument);
}

}  // namespace
}  // namespace vor3::sim
