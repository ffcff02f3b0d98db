#include <gtest/gtest.h>

#include <functional>

#include "form/virtual_clock.h"
#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace vor3::sim {
namespace {

using test::rtu;

const std::string kRequest = rtu("010300070001");  // 8 bytes
const std::string kReply = rtu("0103020014");      // 7 bytes

struct Fixture {
    explicit Fixture(const std::string& settings) {
        port.set_settings(settings);
        port.set_open(true);
    }
    // Bytes readable at each of the given moments.
    std::vector<int> counts_at(const std::vector<int>& moments) {
        std::vector<int> counts;
        for (int t : moments) {
            clock.advance(t - clock.now_ms());
            counts.push_back(port.waiting_count());
        }
        return counts;
    }
    form::VirtualClock clock;
    SimulatedSensor sensor;
    SimPort port{clock, sensor};
};

struct PacingCase {
    const char* settings;
    int split_parts;
    int split_gap_ms;
    std::vector<int> moments;
    std::vector<int> counts;
};

// 9600 8E1: 11 bits a character, 1.1458 ms; the request ends at 9.17 ms,
// the reply starts 20 ms later and its bytes complete at 30.31, 31.46, ...
// 37.19 ms (split after 3 bytes with a 50 ms pause: 83.75 ms onwards).
// 19200 8N1: 0.5208 ms; request ends 4.17, bytes at 24.69 ... 27.81.
const PacingCase kPacing[] = {
    {"9600,E,8,1", 1, 0, {29, 30, 31, 33, 34, 36, 37, 38}, {0, 0, 1, 3, 4, 5, 6, 7}},
    {"19200,N,8,1", 1, 0, {24, 25, 26, 27, 28}, {0, 1, 3, 5, 7}},
    {"1200,E,8,2", 1, 0, {109, 110, 119, 120, 130}, {0, 1, 1, 2, 3}},  // 12 bits, 10 ms a character
    {"9600,E,8,1", 2, 50, {33, 83, 84, 87, 88}, {3, 3, 4, 6, 7}},
};

TEST(SimPortPacing, ReplyArrivesAfterResponseTimeAtLineSpeed) {
    for (const PacingCase& c : kPacing) {
        Fixture f(c.settings);
        f.sensor.faults().split_parts = c.split_parts;
        f.sensor.faults().split_gap_ms = c.split_gap_ms;
        f.port.write(kRequest);
        EXPECT_EQ(f.counts_at(c.moments), c.counts) << c.settings << " in " << c.split_parts;
        EXPECT_EQ(f.port.read_all(), kReply.substr(0, c.counts.back())) << c.settings;
    }
}

TEST(SimPortPacing, RequestsAndRepliesQueueOnTheLine) {
    Fixture f("9600,E,8,1");
    f.port.write(kRequest);
    f.port.write(rtu("010300060001"));  // on the line from 9.17 to 18.33 ms
    EXPECT_EQ(f.counts_at({38, 40}), (std::vector<int>{7, 8}));
    f.clock.advance(100);
    EXPECT_EQ(f.port.read_all(), kReply + rtu("010302000A"));
    EXPECT_EQ(f.port.waiting_count(), 0);
}

int error_number(const std::function<void()>& action) {
    try {
        action();
    } catch (const form::PortError& e) {
        return e.number;
    }
    return 0;
}

TEST(SimPortState, ClosingDropsBytesOnTheWayAndFailuresReportPortErrors) {
    Fixture f("9600,E,8,1");
    f.port.write(kRequest);
    f.clock.advance(33);
    f.port.set_open(false);
    EXPECT_EQ(error_number([&] { f.port.write(kRequest); }), form::kPortNotOpen);
    f.port.set_open(true);
    f.clock.advance(100);
    EXPECT_EQ(f.port.waiting_count(), 0);
    EXPECT_EQ(f.port.port_list(), std::vector<std::string>{"Simulated sensor"});

    f.port.set_vanished(true);
    EXPECT_TRUE(f.port.port_list().empty());
    EXPECT_EQ(error_number([&] { f.port.write(kRequest); }), form::kPortIoFailed);
    EXPECT_EQ(error_number([&] { f.port.waiting_count(); }), form::kPortIoFailed);
    EXPECT_EQ(error_number([&] { f.port.read_all(); }), form::kPortIoFailed);
    EXPECT_EQ(error_number([&] { f.port.set_settings("9600,N,8,1"); }), form::kPortSettingsRefused);
    f.port.set_open(false);
    EXPECT_EQ(error_number([&] { f.port.set_open(true); }), form::kPortInvalid);
    EXPECT_FALSE(f.port.is_open());
    f.port.set_vanished(false);
    EXPECT_EQ(error_number([&] { f.port.set_open(true); }), 0);
}

}  // namespace
}  // namespace vor3::sim
