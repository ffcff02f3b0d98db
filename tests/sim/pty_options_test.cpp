#include <gtest/gtest.h>

#include <tuple>

#include "sim/pty_options.h"

namespace vor3::sim {
namespace {

TEST(PtyOptions, BothArgumentFormsAreRead) {
    const PtyOptions o = parse_pty_options({"--mode=ascii", "--address", "247", "--baud=19200", "--link", "/tmp/x"});
    EXPECT_EQ(std::tie(o.framing, o.addresses, o.baud, o.link, o.tcp_port),
              std::make_tuple(Framing::Ascii, std::vector<int>{247}, 19200, "/tmp/x", -1));

    const PtyOptions tcp = parse_pty_options({"--tcp", "5020", "--framing=modbus-tcp", "--close-mid-reply"});
    EXPECT_EQ(std::tie(tcp.tcp_port, tcp.modbus_tcp, tcp.framing, tcp.faults.close_mid_reply),
              std::make_tuple(5020, true, Framing::Rtu, true));
    EXPECT_EQ(parse_pty_options({"--tcp=0", "--framing", "ascii"}).framing, Framing::Ascii);
    // A whole line: lists and ranges, in order, each address once.
    EXPECT_EQ(parse_pty_options({"--address", "37,1-3,5,2"}).addresses, (std::vector<int>{1, 2, 3, 5, 37}));
    EXPECT_EQ(parse_pty_options({"--address=1-30"}).addresses.size(), 30u);
}

TEST(PtyOptions, BadArgumentsAreRefused) {
    const std::vector<std::string> cases[] = {
        {"--address", "0"},
        {"--address", "1x"},
        {"--mode", "tcp"},
        {"--address", "3-1"},
        {"--baud", "0"},
        {"--verbose"},
        {"--noise", "F"},
        {"--split", "0"},
        {"--exception", "256"},
        {"--seed", "x"},
        {"--tcp", "65536"},
        {"--framing", "modbus-tcp"},
        {"--tcp", "0", "--link", "/tmp/x"},
    };
    for (const auto& args : cases) EXPECT_THROW(parse_pty_options(args), std::invalid_argument) << args[0];
}

TEST(PtyOptions, FaultSwitchesOnTheCommandLineAndWhileRunning) {
    const PtyOptions o = parse_pty_options({"--silent", "--bad-checksum", "--noise", "ff0103", "--split=3",
                                            "--split-gap", "40", "--exception", "2", "--extra-delay=300", "--duplicate",
                                            "--echo", "--twin", "--mode", "ascii"});
    EXPECT_TRUE(o.faults.silent && o.faults.bad_checksum && o.faults.duplicate && o.faults.echo && o.faults.twin);
    EXPECT_EQ(o.faults.noise_before, std::string("\xFF\x01\x03"));
    EXPECT_EQ((std::vector<int>{o.faults.split_parts, o.faults.split_gap_ms, o.faults.exception_code,
                                o.faults.extra_delay_ms}),
              (std::vector<int>{3, 40, 2, 300}));
    EXPECT_EQ(o.framing, Framing::Ascii);

    const Faults timing = parse_fault_options(
        {"--answer-ms", "950", "--answer-spread=200", "--repeat-answer-ms", "700", "--lose", "10", "--seed", "42"});
    EXPECT_EQ((std::vector<int>{timing.answer_ms, timing.answer_spread_ms, timing.repeat_answer_ms, timing.lost_percent,
                                static_cast<int>(timing.seed)}),
              (std::vector<int>{950, 200, 700, 10, 42}));
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
