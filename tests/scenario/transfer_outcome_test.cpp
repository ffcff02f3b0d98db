// Each way a read ends, from the simulated sensor's faults: the outcome
// the transfer records, and what the command line and the bus run make of
// it.
#include <gtest/gtest.h>

#include "app/bus_run.h"
#include "app/cli_bus.h"
#include "app/cli_read.h"
#include "link/answers.h"
#include "sim/sim_test_support.h"
#include "support/cli.h"

namespace vor3::app {
namespace {

using model::TransferOutcome;

struct EndCase {
    const char* name;
    void (*fault)(test::Cli&);  // once the sensor has heard three requests
    TransferOutcome outcome;
    int refusal_code;
    int exit_status;
    SensorOutcome bus_kind;
};

const EndCase kEnds[] = {
    {"every step answered", [](test::Cli&) {}, TransferOutcome::Done, 0, 0, SensorOutcome::Read},
    {"a silent sensor", [](test::Cli& l) { l.sensor().faults().silent = true; }, TransferOutcome::NoAnswer, 0, 3,
     SensorOutcome::NoAnswer},
    {"an exception reply", [](test::Cli& l) { l.sensor().faults().exception_code = 2; }, TransferOutcome::Refused, 2, 3,
     SensorOutcome::Refused},
    // A gateway that reaches no sensor: no answer, not a refusal.
    {"a gateway without its sensor",
     [](test::Cli& l) { l.sensor().faults().exception_code = link::kGatewayTargetFailed; }, TransferOutcome::Refused,
     link::kGatewayTargetFailed, 3, SensorOutcome::NoAnswer},
    {"two sensors at one address", [](test::Cli& l) { l.sensor().faults().twin = true; },
     TransferOutcome::AddressConflict, 0, 3, SensorOutcome::NoAnswer},
    {"the port pulled out", [](test::Cli& l) { l.sim_port.set_vanished(true); }, TransferOutcome::PortLost, 0, 2,
     SensorOutcome::PortFailed},
    {"the connection closed", [](test::Cli& l) { l.cuttable.cut_with = form::kConnectionClosed; },
     TransferOutcome::ConnectionLost, 0, 3, SensorOutcome::NoAnswer},
    {"Abbruch pressed", [](test::Cli& l) { l.prog.frmState.Abbruch.press(); }, TransferOutcome::Cancelled, 0, 3,
     SensorOutcome::NoAnswer},
};

void PrintTo(const EndCase& k, std::ostream* os) { *os << k.name; }
class TransferEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(TransferEnd, IsRecordedAndReportedByItsOutcome) {
    const EndCase& k = GetParam();
    auto fault_once = [&k](test::Cli& l, bool& done) {
        return [&k, &l, &done] {
            if (done || l.sensor().requests().size() < 3) return;
            done = true;
            k.fault(l);
        };
    };
    test::Cli cli;
    bool faulted = false;
    CliRead read(cli.prog, cli.msg, parse_cli({"read", "--port", "sim"}));
    const auto outcome = cli.run(read, fault_once(cli, faulted));
    EXPECT_EQ(cli.prog.g.transfer.outcome, k.outcome);
    EXPECT_EQ(cli.prog.g.transfer.refusal_code, k.refusal_code);
    EXPECT_EQ(CliRead::exit_status(outcome), k.exit_status) << read.failure_text();

    test::Cli line;
    bool line_faulted = false;
    CliOptions o;
    o.command = "read";
    const auto results = line.run_line(bus_plan(o, {1}), fault_once(line, line_faulted));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, k.bus_kind) << results[0].detail;
}

INSTANTIATE_TEST_SUITE_P(Outcomes, TransferEnd, ::testing::ValuesIn(kEnds),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

}  // namespace
}  // namespace vor3::app
