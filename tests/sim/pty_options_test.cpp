// The options the process tests (tests/tools) pass are read there, each in
// a run of vor3-sensor-sim; here the forms and faults no run passes.
#include <gtest/gtest.h>

#include <tuple>

#include "sim/pty_options.h"

namespace vor3::sim {
namespace {

TEST(PtyOptions, WhatNoProcessRunPassesIsRead) {
    const PtyOptions o = parse_pty_options({"--mode=ascii", "--address", "37,1-3,5,2", "--noise", "ff0103",
                                            "--exception=2", "--bad-checksum", "--duplicate", "--twin"});
    EXPECT_EQ(std::tie(o.framing, o.addresses, o.faults.noise_before, o.faults.exception_code),
              std::make_tuple(Framing::Ascii, std::vector<int>{1, 2, 3, 5, 37}, std::string("\xFF\x01\x03"), 2));
    EXPECT_TRUE(o.faults.bad_checksum && o.faults.duplicate && o.faults.twin);

    const Faults timing = parse_fault_options(
        {"--answer-spread=200", "--repeat-answer-ms", "700", "--lose", "10", "--seed", "42", "--refuse-writes", "3"});
    EXPECT_EQ((std::vector<int>{timing.answer_spread_ms, timing.repeat_answer_ms, timing.lost_percent,
                                static_cast<int>(timing.seed), timing.refuse_writes}),
              (std::vector<int>{200, 700, 10, 42, 3}));
    // On a line of several, a fault line may name the sensors it is for.
    const FaultLine some = parse_fault_line({"--address", "5,37", "--silent"});
    EXPECT_EQ(std::tie(some.addresses, some.faults.silent), std::make_tuple(std::vector<int>{5, 37}, true));
}

TEST(PtyOptions, BadArgumentsAreRefused) {
    const std::vector<std::string> cases[] = {
        {"--address", "3-1"},
        {"--mode", "tcp"},
        {"--verbose"},
        {"--noise", "F"},
        {"--seed", "x"},
        {"--tcp", "65536"},
        {"--framing", "modbus-tcp"},
        {"--tcp", "0", "--link", "/tmp/x"},
    };
    for (const auto& args : cases) EXPECT_THROW(parse_pty_options(args), std::invalid_argument) << args[0];
    EXPECT_THROW(parse_fault_options({"--mode", "rtu"}), std::invalid_argument);
    EXPECT_THROW(parse_fault_line({"--address", "x", "--silent"}), std::invalid_argument);
}

}  // namespace
}  // namespace vor3::sim
