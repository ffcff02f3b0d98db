#include <gtest/gtest.h>

#include <memory>

#include "form/virtual_clock.h"
#include "link/modbus_tcp_port.h"
#include "ops/scan.h"
#include "sim/sim_port.h"
#include "sim/sim_test_support.h"
#include "sim/simulated_sensor.h"

namespace vor3::ops {
namespace {

// A sensor on its own line settings, and the scan on the port to it.
struct Line {
    form::VirtualClock clock;
    sim::SimulatedSensor sensor;
    sim::SimPort port{clock, sensor};
    // (As in the program: a Modbus TCP gateway's framing below the scan.)
    link::ModbusTcpPort gateway{port, [](link::ModbusTcpPort::Drop) {}};
    Scanner scanner{gateway, clock};

    Line(sim::Framing framing, int address, int baud, char parity) : sensor(framing, address) {
        port.set_sensor_line(form::SerialSettings{baud, parity, framing == sim::Framing::Ascii ? 7 : 8, 1});
    }
    // Runs the scan to its end; the time it took.
    std::int64_t run(const ScanPlan& plan) {
        const auto start = clock.now_ms();
        scanner.start(plan);
        clock.run_until([&] { return !scanner.running(); }, 24 * 3600 * 1000);
        return clock.now_ms() - start;
    }
};

ScanPlan plan_of(const char* mode, std::vector<std::string> bauds, char parity) {
    ScanPlan plan;
    plan.modes = {mode};
    plan.bauds = std::move(bauds);
    plan.parities = {parity};
    return plan;
}

TEST(Scan, FindsTheSensorWithExactlyItsSettings) {
    Line line(sim::Framing::Ascii, 37, 19200, 'O');
    line.run(ScanPlan{});
    ASSERT_EQ(line.scanner.found(), (std::vector<ScanFind>{{{"ASCII", "19200", 'O'}, 37}}));
    EXPECT_EQ(line.scanner.tried(), line.scanner.total());
    EXPECT_EQ(line.scanner.total(), 2 * 4 * 3 * 63);
    EXPECT_FALSE(line.port.is_open());
    // Asked at every setting, it heard only the one request sent with its own.
    EXPECT_EQ(line.sensor.requests(), (std::vector<std::string>{"250300060001"}));
    // Two devices at one address answer differently: said; where both
    // answer alike (a duplicate), nothing is.
    for (const bool twin : {true, false}) {
        (twin ? line.sensor.faults().twin : line.sensor.faults().duplicate) = true;
        line.run(plan_of("ASCII", {"19200"}, 'O'));
        EXPECT_EQ(line.scanner.found(), (std::vector<ScanFind>{{{"ASCII", "19200", 'O'}, 37, twin}})) << twin;
        line.sensor.faults().twin = false;
    }
    // A device that answers under the next address is no sensor at either:
    // its answer came before that address was asked.
    line.sensor.faults().duplicate = false;
    line.sensor.faults().answer_as = 38;
    line.run(plan_of("ASCII", {"19200"}, 'O'));
    EXPECT_TRUE(line.scanner.found().empty());
}

// Asked to, the scan ends at the first find; a port gone ends it too.
TEST(Scan, EndsAtTheFirstFindWhenAskedAndWhenThePortIsGone) {
    Line line(sim::Framing::Rtu, 5, 57600, 'N');
    ScanPlan plan;
    plan.stop_at_first = true;
    line.run(plan);
    EXPECT_EQ(line.scanner.found(), (std::vector<ScanFind>{{{"RTU", "57600", 'N'}, 5}}));
    EXPECT_EQ(line.scanner.tried(), 5);
    line.sensor.faults().answer_as = 6;  // as in the ASCII scan above
    line.run(plan_of("RTU", {"57600"}, 'N'));
    EXPECT_TRUE(line.scanner.found().empty());
    line.port.set_vanished(true);
    line.run(plan_of("RTU", {"9600"}, 'E'));
    EXPECT_TRUE(line.scanner.error().has_value());
    EXPECT_FALSE(line.scanner.running());
}

// A sensor slower than the scan allows for answers during later tries; the
// answer counts for its own address and setting, the last address's too.
// A silent line finds nothing, and takes seconds a setting.
struct SlowSensor {
    const char* name;
    sim::Framing framing;
    int address;
    int answer_ms;  // the sensor's Min-Response-Time; -1: silent
};

const SlowSensor kSlowSensors[] = {
    {"rtu 400 ms at 10", sim::Framing::Rtu, 10, 400},
    {"rtu 3000 ms at 63", sim::Framing::Rtu, 63, 3000},
    {"ascii 400 ms at 63", sim::Framing::Ascii, 63, 400},
    {"ascii 3000 ms at 62", sim::Framing::Ascii, 62, 3000},
    {"rtu silent", sim::Framing::Rtu, 1, -1},
    {"ascii silent", sim::Framing::Ascii, 1, -1},
};

void PrintTo(const SlowSensor& k, std::ostream* os) { *os << k.name; }
class SlowSensorScan : public ::testing::TestWithParam<SlowSensor> {};

TEST_P(SlowSensorScan, IsFoundAtItsAddressAndSettingWhateverTheAddress) {
    const SlowSensor& k = GetParam();
    const bool ascii = k.framing == sim::Framing::Ascii;
    Line line(k.framing, k.address, 9600, 'E');
    line.sensor.set_holding(7, static_cast<std::uint16_t>(std::max(k.answer_ms, 0)));
    line.sensor.faults().silent = k.answer_ms < 0;
    const ScanPlan plan = plan_of(ascii ? "ASCII" : "RTU", {"9600", "57600"}, 'E');  // the next setting hears nothing
    const auto took = line.run(plan);
    if (k.answer_ms < 0) {
        EXPECT_TRUE(line.scanner.found().empty());
        EXPECT_LT(took, 2 * 12000);  // 63 addresses and the wait for late answers in seconds
        // Said at the start, the time left is what the scan then takes,
        // counted down second by second to nothing.
        line.scanner.start(plan);
        const std::int64_t start = line.clock.now_ms(), said = line.scanner.time_left_ms();
        EXPECT_EQ(said, took);
        for (std::int64_t next = start + 1000; line.scanner.running(); next += 1000) {
            EXPECT_EQ(line.scanner.time_left_ms(), said - (line.clock.now_ms() - start));
            line.clock.run_until([&] { return !line.scanner.running() || line.clock.now_ms() >= next; }, 60000);
        }
        EXPECT_EQ(line.clock.now_ms() - start, said);
        EXPECT_EQ(line.scanner.time_left_ms(), 0);
        return;
    }
    EXPECT_EQ(line.scanner.found(), (std::vector<ScanFind>{{{plan.modes[0], "9600", 'E'}, k.address}}));
}

INSTANTIATE_TEST_SUITE_P(AnswerTimes, SlowSensorScan, ::testing::ValuesIn(kSlowSensors),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

// Over the network there is no baud rate or parity to try; each try waits
// for the round trip and the sensor and ends once the address asked has
// answered, or the gateway said no sensor is there.
struct NetworkScan {
    const char* name;
    form::Carrier carrier;
    sim::Framing framing;
    int address;
    int exception;  // the sensor's answer to every request; 0: its values
    std::vector<ScanFind> found;
};

const NetworkScan kNetworkScans[] = {
    {"gateway finds its unit", form::Carrier::ModbusTcp, sim::Framing::Rtu, 40, 0, {{{"", "", '\0'}, 40}}},
    {"gateway says no sensor there", form::Carrier::ModbusTcp, sim::Framing::Rtu, 40, 0x0B, {}},
    {"a sensor refusing is there", form::Carrier::ModbusTcp, sim::Framing::Rtu, 40, 0x02, {{{"", "", '\0'}, 40}}},
    {"device server", form::Carrier::SerialServer, sim::Framing::Ascii, 7, 0, {{{"ASCII", "", '\0'}, 7}}},
};

void PrintTo(const NetworkScan& k, std::ostream* os) { *os << k.name; }
class ScanOverNetwork : public ::testing::TestWithParam<NetworkScan> {};

TEST_P(ScanOverNetwork, TriesOnlyWhatTheNetworkLeavesOpen) {
    const NetworkScan& k = GetParam();
    constexpr std::int64_t kRoundTripMs = 150;  // a slow way through the net
    auto scan = [&](bool silent) {
        auto line = std::make_unique<Line>(k.framing, k.address, 9600, 'E');
        line->port.set_sensor_line(std::nullopt);
        line->port.set_carrier(k.carrier, kRoundTripMs);
        line->sensor.faults().exception_code = k.exception;
        line->sensor.faults().silent = silent;
        line->run(ScanPlan{});
        return line;
    };
    const auto silent = scan(true);
    const std::int64_t silent_ms = silent->clock.now_ms();
    // 63 unit identifiers in 30 s, though no unit answers at all.
    const int framings = k.carrier == form::Carrier::ModbusTcp ? 1 : 2;
    EXPECT_EQ(silent->scanner.total(), framings * 63);
    EXPECT_LE(silent_ms, framings * 30000);
    EXPECT_TRUE(silent->scanner.found().empty());

    const auto line = scan(false);
    EXPECT_EQ(line->scanner.found(), k.found);
    // The try at the sensor's address ended with its answer.
    EXPECT_LT(line->clock.now_ms(), silent_ms - 100);
    // Asked once, in the framing it hears.
    EXPECT_EQ(line->sensor.requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Carriers, ScanOverNetwork, ::testing::ValuesIn(kNetworkScans),
                         [](const auto& info) { return sim::test::case_name(info.param.name); });

}  // namespace
}  // namespace vor3::ops
